// Runs the match script against a stand-in engine that misbehaves on purpose, and checks that each
// fault is counted, reported with its reproduction, and sets the exit code.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawn, spawnSync } from 'node:child_process';
import { chmodSync, mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const HERE = dirname(fileURLToPath(import.meta.url));
const WORK = mkdtempSync(join(tmpdir(), 'selfplay-test-'));
const OPENINGS = join(WORK, 'openings.pgn');
writeFileSync(OPENINGS, '[Result "*"]\n\n1. e4 e5 2. Nf3 Nc6 *\n');
const FAKE = join(HERE, 'fake-engine.mjs');

// A second binary for --engine-b: the stand-in under another name, with its own fault if any.
function secondEngine(name, fault) {
  const path = join(WORK, name);
  writeFileSync(path, `#!/usr/bin/env node\nprocess.env.FAKE_ENGINE_FAULT = '${fault}';\nawait import('${pathToFileURL(FAKE)}');\n`);
  chmodSync(path, 0o755);
  return path;
}

// Plays at a short clock unless extra gives another limit.
function runMatch(fault, extra = [], faultSide = '') {
  const pgn = join(WORK, `${fault || 'clean'}.pgn`);
  const limit = extra.includes('--tc') || extra.includes('--nodes') ? [] : ['--tc', '0.5+0.01'];
  const run = spawnSync(process.execPath, [
    join(HERE, '..', 'selfplay.mjs'), '--engine', FAKE, '--openings', OPENINGS, ...limit, '--pgn', pgn, ...extra,
  ], { encoding: 'utf8', env: { ...process.env, FAKE_ENGINE_FAULT: fault, FAKE_ENGINE_FAULT_SIDE: faultSide }, timeout: 60000 });
  return { ...run, pgn: readFileSync(pgn, 'utf8') };
}

function faultCounts(stdout) {
  const match = /illegal moves (\d+), garbled bestmoves (\d+), time forfeits (\d+), crashes (\d+), hangs (\d+)/.exec(stdout);
  assert.ok(match, stdout);
  const [illegal, garbled, forfeits, crashes, hangs] = match.slice(1).map(Number);
  return { illegal, garbled, forfeits, crashes, hangs };
}

const NONE = { illegal: 0, garbled: 0, forfeits: 0, crashes: 0, hangs: 0 };

test('a clean match plays both colours from the book and exits 0', () => {
  // A clock the stand-in cannot overstep even when it waits for a processor on a loaded machine.
  const run = runMatch('', ['--games', '2', '--max-plies', '40', '--tc', '10+0.1']);
  assert.equal(run.status, 0, run.stdout + run.stderr);
  assert.deepEqual(faultCounts(run.stdout), NONE);
  assert.match(run.stdout, /game 1\/2 .* A-B /);
  assert.match(run.stdout, /game 2\/2 .* B-A /);
  assert.match(run.stdout, /games 2 at 10\+0\.1: A wins 0, B wins 0, draws 2/);
  assert.match(run.pgn, /1\. e4 e5 2\. Nf3 Nc6 \{book\}/);
  assert.equal((run.pgn.match(/\[Termination "move cap"\]/g) ?? []).length, 2);
});

for (const [fault, behaviour, counted, detail] of [
  ['illegal', 'plays an illegal move', { illegal: 1 }, /"a1a1" is not legal in /],
  ['garbled', 'answers a bare bestmove', { garbled: 1 }, /"bestmove": bestmove without a move/],
  ['stray', 'answers twice', { garbled: 1 }, /unrequested "bestmove /],
  ['crash', 'exits mid-game', { crashes: 1 }, /exited with code 3/],
  ['hang', 'never answers', { hangs: 1 }, /waiting for bestmove: no answer in time/],
]) {
  test(`an engine that ${behaviour} loses the game, is reported with a reproduction and fails the run`, () => {
    const run = runMatch(fault, ['--games', '1', '--max-plies', '40'], 'b');
    assert.equal(run.status, 1, run.stdout + run.stderr);
    assert.deepEqual(faultCounts(run.stdout), { ...NONE, ...counted });
    assert.match(run.stdout, detail);
    assert.match(run.stdout, /game 1\/1 .* 1-0 +\w+ by B /);
    assert.match(run.stdout, /reproduce with:\n +position startpos moves e2e4 e7e5 g1f3 b8c6(?: [a-h][1-8][a-h][1-8])+\n +go wtime \d+ btime \d+ winc 10 binc 10\n/);
    assert.match(run.stdout, /engine's last lines:\n/);
    assert.match(run.stdout, /\[Result "1-0"\]/);
  });
}

test('an engine that oversteps its clock loses on time, which is counted but is no fault', () => {
  const run = runMatch('slow', ['--games', '1', '--max-plies', '40'], 'w');
  assert.equal(run.status, 0, run.stdout + run.stderr);
  assert.deepEqual(faultCounts(run.stdout), { ...NONE, forfeits: 1 });
  assert.match(run.stdout, /game 1\/1 .* 0-1 +time forfeit /);
  const flag = /flag: A took (\d+\.\d) ms with \d+\.\d ms on its clock at ply \d+ \(running (\d+\.\d) ms, waiting for a processor \d+\.\d ms\)/.exec(run.stdout);
  assert.ok(flag, run.stdout);
  // The stand-in sleeps through its overrun, so its processor time is far below the wall time it took.
  assert.ok(Number(flag[2]) < Number(flag[1]) - 250, flag[0]);
});

test('two binaries at a node count swap colours in each pair, and a sequential test ends the match', () => {
  // Every game is drawn, so the pairs' variance is the regularised minimum and H0 comes at the first
  // pair count that allows a verdict.
  const run = runMatch('', ['--engine-b', secondEngine('fake-b.mjs', ''), '--nodes', '500', '--games', '100',
    '--max-plies', '12', '--sprt', '0,10']);
  assert.equal(run.status, 0, run.stdout + run.stderr);
  assert.match(run.stdout, /^selfplay: at most 100 games at 500 nodes, engine A .*fake-engine\.mjs, engine B .*fake-b\.mjs,/m);
  assert.match(run.stdout, /^after 20 games: A \+0 =20 -0, score 50\.0 %, Elo \+0\.0 ± 0\.0 over 10 pairs, LLR -\d+\.\d\d \(bounds -2\.94, 2\.94\)$/m);
  assert.match(run.stdout, /^SPRT: H0 accepted after 20 pairs, LLR -\d+\.\d\d \(bounds -2\.94, 2\.94\); no new games$/m);
  assert.match(run.stdout, /^game +40\/100 /m);
  assert.doesNotMatch(run.stdout, /^game 41\//m);
  assert.match(run.stdout, /^games 40 at 500 nodes: A wins 0, B wins 0, draws 40/m);
  assert.match(run.stdout, /^time use B: \d+ moves, mean \d+\.\d ms, longest \d+\.\d ms$/m);
  assert.match(run.stdout, /^pairs by A's points 0, 0\.5, 1, 1\.5, 2: 0, 0, 20, 0, 0 \(total 20\)$/m);
  assert.match(run.stdout, /^SPRT of logistic Elo 0 \(H0\) against 10 \(H1\), alpha 0\.05, beta 0\.05: H0 accepted after 20 pairs, /m);
  const games = run.pgn.split(/\n\n(?=\[)/);
  assert.equal(games.length, 40);
  assert.match(games[1], /\[White "fake-b\.mjs \(B\)"\]\n\[Black "fake-engine\.mjs \(A\)"\]/);
});

test('a fault of the second binary is its own, and its reproduction asks for the node count', () => {
  const run = runMatch('', ['--engine-b', secondEngine('fake-illegal.mjs', 'illegal'), '--nodes', '500', '--games', '1', '--max-plies', '40']);
  assert.equal(run.status, 1, run.stdout + run.stderr);
  assert.deepEqual(faultCounts(run.stdout), { ...NONE, illegal: 1 });
  assert.match(run.stdout, /game 1\/1 .* 1-0 +illegal by B /);
  assert.match(run.stdout, /reproduce with:\n +position startpos moves e2e4 e7e5 g1f3 b8c6(?: [a-h][1-8][a-h][1-8])+\n +go nodes 500\n/);
  assert.match(run.pgn, /\[White "fake-engine\.mjs \(A\)"\]\n\[Black "fake-illegal\.mjs \(B\)"\]/);
  assert.match(run.pgn, /\[TimeControl "-"\]/);
  assert.match(run.pgn, /\[Nodes "500"\]/);
  assert.match(run.stdout, /^result of A against B: \+1 =0 -0, 1\/1 \(100\.0 %\)$/m);
});

test('an interrupted match reports and keeps the games it finished', async () => {
  const pgn = join(WORK, 'interrupted.pgn');
  const child = spawn(process.execPath, [join(HERE, '..', 'selfplay.mjs'), '--engine', FAKE, '--openings', OPENINGS,
    '--nodes', '500', '--games', '1000', '--max-plies', '12', '--pgn', pgn]);
  let stdout = '';
  child.stdout.on('data', (chunk) => {
    stdout += chunk;
    if (/^game +3\//m.test(stdout)) child.kill('SIGINT');
  });
  const guard = setTimeout(() => child.kill('SIGKILL'), 60000); // a match that ignores the interrupt fails, not hangs
  const code = await new Promise((resolvePromise) => child.on('close', resolvePromise));
  clearTimeout(guard);
  assert.equal(code, 130, stdout);
  const played = (stdout.match(/^game +\d+\/1000 /gm) ?? []).length;
  assert.ok(played >= 3, stdout);
  assert.match(stdout, new RegExp(`^games ${played} at 500 nodes: `, 'm'));
  assert.equal((readFileSync(pgn, 'utf8').match(/^\[Event /gm) ?? []).length, played);
});
