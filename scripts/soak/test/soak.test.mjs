// Runs the cycles and the whole soak against the match script's stand-in engine, clean and with
// each way of misbehaving, and checks that every fault is found, named and fails the run.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const HERE = dirname(fileURLToPath(import.meta.url));
const FAKE = join(HERE, '..', '..', 'selfplay', 'test', 'fake-engine.mjs');
const WORK = mkdtempSync(join(tmpdir(), 'soak-test-'));
const OPENINGS = join(WORK, 'openings.pgn');
writeFileSync(OPENINGS, '[Result "*"]\n\n1. e4 e5 2. Nf3 Nc6 *\n\n[Result "*"]\n\n1. d4 d5 2. c4 e6 *\n');

function run(command, args, fault = '') {
  return spawnSync(command, args, { encoding: 'utf8', env: { ...process.env, FAKE_ENGINE_FAULT: fault }, timeout: 90000 });
}

function runCycles(fault, cycles = 4) {
  const json = join(WORK, `cycles-${fault || 'clean'}.json`);
  const result = run(process.execPath, [join(HERE, '..', 'cycles.mjs'), '--engine', FAKE, '--openings', OPENINGS, '--cycles', String(cycles), '--isready-percent', '50', '--json', json], fault);
  return { ...result, figures: JSON.parse(readFileSync(json, 'utf8')) };
}

test('clean cycles measure both latencies, sample memory and exit 0', () => {
  const result = runCycles('', 40);
  assert.equal(result.status, 0, result.stdout + result.stderr);
  const { figures } = result;
  assert.equal(figures.cycles, 40);
  assert.deepEqual(figures.faults, []);
  assert.equal(figures.stop.count, 40);
  assert.equal(figures.idleIsready.count, 40);
  assert.ok(figures.isready.count > 5 && figures.isready.count < 35, `${figures.isready.count} cycles with isready`);
  assert.ok(figures.stop.max >= figures.stop.p99 && figures.stop.p99 > 0);
  assert.deepEqual(figures.samples.map((sample) => sample.cycle), [1, 'end']);
  assert.ok(figures.samples.every((sample) => sample.rssKb > 0 && sample.hwmKb >= sample.rssKb));
  assert.match(result.stdout, /cycles 40\/40 .*illegal 0, garbled 0, early bestmoves 0, double bestmoves 0, crashes 0, hangs 0/);
});

for (const [fault, kind, detail] of [
  ['illegal', 'illegal', /"a1a1" is not legal in /],
  ['garbled', 'garbled', /"bestmove": bestmove without a move/],
  ['stray', 'double', /a second "bestmove \w+" for one go/],
  ['early', 'early', /"bestmove \w+" came before "stop"/],
  ['crash', 'crash', /waiting for bestmove after stop: exited with code 3/],
  ['hang', 'hang', /waiting for bestmove after stop: no answer in time/],
]) {
  test(`an engine whose infinite search ends in a ${kind} answer is caught, reproduced and restarted`, () => {
    const result = runCycles(fault);
    assert.equal(result.status, 1, result.stdout + result.stderr);
    assert.deepEqual(result.figures.faults.map((f) => [f.cycle, f.kind]), [[3, kind]]);
    assert.match(result.stdout, detail);
    assert.match(result.stdout, /reproduce with:\n +position (startpos|fen) .*\n +go infinite\n/);
    assert.equal(result.figures.cycles, 4, 'the cycles go on with a new process');
    assert.equal(new Set(result.figures.samples.map((sample) => sample.pid)).size, 2);
  });
}

function runSoak(fault, out) {
  return run('sh', [join(HERE, '..', 'soak.sh'), '--engine', FAKE, '--openings', OPENINGS, '--games', '3', '--cycles', '6',
    '--tc', '0.5+0.01', '--max-plies', '24', '--seed', '11', '--out', out], fault);
}

test('a clean soak plays both table sizes, runs the cycles and prints every figure', () => {
  const out = join(WORK, 'soak-clean');
  const result = runSoak('', out);
  assert.equal(result.status, 0, result.stdout + result.stderr);
  const summary = result.stdout.slice(result.stdout.indexOf('==== soak summary'));
  assert.match(summary, /^games: 3, moves (\d+); illegal moves 0, garbled bestmoves 0, time forfeits 0, crashes 0, hangs 0$/m);
  // Two games at the small size and one at the large, each 24 plies less the 4 of the book.
  assert.match(summary, /^games at Hash 16: 2, moves 40, .*lowest clock left \d+ ms$/m);
  assert.match(summary, /^games at Hash 2048: 1, moves 20, /m);
  assert.match(summary, /^memory at Hash 16: peak RSS [\d.]+ MiB, peak VmHWM [\d.]+ MiB$/m);
  assert.match(summary, /^ {2}A \(pid \d+, 3 samples\): RSS [\d.]+ MiB after its first game, [\d.]+ MiB at the end/m);
  assert.match(summary, /^ {2}B \(pid \d+, 3 samples\): /m);
  assert.match(summary, /^memory at Hash 2048: [^]*^ {2}B \(pid \d+, 2 samples\): /m);
  assert.match(summary, /^cycles: 6\/6 in /m);
  assert.match(summary, /^stop -> bestmove: 6 measured, p99 [\d.]+ ms, slowest [\d.]+ ms$/m);
  assert.match(summary, /^verdict: PASS$/m);
  assert.match(readFileSync(join(out, 'games-2048.pgn'), 'utf8'), /\[Round "1"\]/);
});

test('a soak with a fault in the games and in the cycles fails and names both', () => {
  const result = runSoak('illegal', join(WORK, 'soak-illegal'));
  assert.equal(result.status, 1, result.stdout + result.stderr);
  assert.match(result.stdout, /^verdict: FAIL/m);
  assert.match(result.stdout, /^ {2}games: \d+ illegal$/m);
  assert.match(result.stdout, /^ {2}cycle 3: illegal: "a1a1" is not legal/m);
});

test('a phase that leaves no summary, or memory that keeps rising, fails the report', () => {
  const dir = mkdtempSync(join(WORK, 'report-'));
  writeFileSync(join(dir, 'games-16.log'), 'selfplay: 10 games\ngame 1/10 ...\n');
  writeFileSync(join(dir, 'games-16.rc'), '2\n');
  const leak = Array.from({ length: 12 }, (_, i) => JSON.stringify({ cycle: i + 1, instance: 'cycles', pid: 5, rssKb: 40000 + i * 1000, hwmKb: 40000 + i * 1000 }));
  writeFileSync(join(dir, 'cycles.json'), JSON.stringify({
    cycles: 12, wanted: 12, wallMs: 1000, faults: [], samples: leak.map((line) => JSON.parse(line)),
    isready: { count: 0, p99: null, max: null }, stop: { count: 12, p99: 3, max: 4 }, idleIsready: { count: 12, p99: 1, max: 1 },
  }));
  const result = run(process.execPath, [join(HERE, '..', 'report.mjs'), '--dir', dir, '--hashes', '16,2048']);
  assert.equal(result.status, 1, result.stdout + result.stderr);
  assert.match(result.stdout, /^ {2}games at Hash 16: the match did not finish \(exit code 2\)$/m);
  assert.match(result.stdout, /^ {2}memory in the cycles: resident memory of cycles \(pid 5\) grew by 10\.7 MiB$/m);
  assert.doesNotMatch(result.stdout, /Hash 2048/);
});
