#!/usr/bin/env node
// Drives one engine process through many "go infinite" / "stop" cycles on book positions. Each
// cycle: position, go infinite, optionally isready during the search, stop after 0..20 ms, then an
// isready that proves the engine is idle again. It measures the isready-to-readyok and
// stop-to-bestmove latencies, checks that every bestmove is legal and that each go got exactly one
// bestmove (none before "stop"), and samples the engine's resident memory. Exit code 1 on any fault.

import { writeFileSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { parseBestmove, parseOptions, createRandom } from '../selfplay/lib.mjs';
import { DEFAULT_OPENINGS, Engine, REPO_DIR, faultFromOutcome, loadOpenings, loadRulesLibrary } from '../selfplay/runtime.mjs';
import {
  formatMb, formatMs, judgeMemory, latencyFigures, planCycle, pliesOf, positionCommand, samplesByProcess,
} from './figures.mjs';

const USAGE = `usage: node cycles.mjs [options]
  --cycles N          go/stop cycles (default 10000)
  --engine PATH       engine binary (default build/tavrin of this repository)
  --hash MB           "setoption name Hash value MB" at start (default: engine's own)
  --seed S            seed of the positions, delays and isready choices (default 1)
  --max-delay MS      longest time from "go infinite" to "stop" (default 20)
  --isready-percent P share of cycles with "isready" sent during the search (default 25)
  --openings PATH     PGN file or folder of PGN files (default ../shared/data/openings)
  --json FILE         write the figures, faults and memory samples to FILE
  --help              this text`;

const DEFAULTS = { cycles: 10000, engine: '', hash: 0, seed: 1, maxDelay: 20, isreadyPercent: 25, openings: '', json: '' };
const INTEGER_OPTIONS = { '--cycles': 'cycles', '--hash': 'hash', '--seed': 'seed', '--max-delay': 'maxDelay', '--isready-percent': 'isreadyPercent' };
const TEXT_OPTIONS = { '--engine': 'engine', '--openings': 'openings', '--json': 'json' };

// Generous next to the few milliseconds an answer should take, short next to a whole soak.
const ANSWER_TIMEOUT_MS = 5000;
const MEMORY_EVERY = 500;
const PROGRESS_EVERY = 1000;
const MAX_FAULTS = 20;

const sleep = (ms) => new Promise((resolvePromise) => setTimeout(resolvePromise, ms));
const now = () => process.hrtime.bigint();
const msSince = (at, from) => Number(at - from) / 1e6;

// Runs one cycle; returns { readyMs, stopMs, idleReadyMs, fault } (latencies null when not measured).
async function runCycle(engine, game, commands) {
  const result = { readyMs: null, stopMs: null, idleReadyMs: null, fault: null };
  const [position, plan] = commands;
  const awaitLine = async (text, what, sentAt) => {
    const reply = await engine.waitFor((line) => line === text || (text === 'bestmove' && line.startsWith('bestmove')), ANSWER_TIMEOUT_MS);
    if (!reply.line) result.fault = faultFromOutcome(reply, what);
    return reply.line ? { line: reply.line, ms: msSince(reply.at, sentAt) } : null;
  };
  engine.strayBestmove = null;
  engine.lastBestmove = null;
  engine.send(position);
  engine.awaitingBestmove = true;
  const goAt = now();
  engine.send('go infinite');
  if (plan.isreadyAtMs !== null) {
    if (plan.isreadyAtMs > 0) await sleep(plan.isreadyAtMs);
    const sentAt = now();
    engine.send('isready');
    const ready = await awaitLine('readyok', 'waiting for readyok during the search', sentAt);
    if (!ready) return result;
    result.readyMs = ready.ms;
  }
  const left = plan.delayMs - msSince(now(), goAt);
  if (left >= 1) await sleep(left);
  const early = !engine.awaitingBestmove;
  const stopAt = now();
  engine.send('stop');
  if (early) {
    result.fault = { kind: 'early', detail: `"${engine.lastBestmove}" came before "stop"` };
  } else {
    const best = await awaitLine('bestmove', 'waiting for bestmove after stop', stopAt);
    if (!best) return result;
    result.stopMs = best.ms;
  }
  const bestmove = engine.lastBestmove;
  const parsed = parseBestmove(bestmove);
  if (parsed.error) {
    result.fault ??= { kind: 'garbled', detail: `"${bestmove}": ${parsed.error}` };
  } else if (!game.moves({ verbose: true }).some((move) => move.lan === parsed.move)) {
    result.fault ??= { kind: 'illegal', detail: `"${parsed.move}" is not legal in ${game.fen()}` };
  }
  const syncAt = now();
  engine.send('isready');
  const idle = await awaitLine('readyok', 'waiting for readyok after the search', syncAt);
  if (!idle) return result;
  result.idleReadyMs = idle.ms;
  if (engine.strayBestmove) result.fault ??= { kind: 'double', detail: `a second "${engine.strayBestmove}" for one go` };
  return result;
}

function printFault(number, fault, commands, engine) {
  console.log(`  FAULT in cycle ${number}: ${fault.kind}: ${fault.detail}`);
  console.log(`  reproduce with:\n    ${commands[0]}\n    go infinite`);
  const { delayMs, isreadyAtMs } = commands[1];
  console.log(`    ${isreadyAtMs === null ? '' : `(after ${isreadyAtMs} ms) isready, `}(${delayMs} ms after go) stop`);
  console.log('  engine\'s last lines:');
  for (const line of engine.recent) console.log(`    ${line}`);
}

function sampleMemory(engine, cycle, memory) {
  const sample = engine.memory();
  if (sample) memory.push({ cycle, pid: engine.child.pid, instance: 'cycles', ...sample });
}

async function main() {
  const parsed = parseOptions(process.argv.slice(2), DEFAULTS, INTEGER_OPTIONS, TEXT_OPTIONS);
  if (parsed.error) {
    console.error(`cycles: ${parsed.error}\n${USAGE}`);
    return 2;
  }
  const options = parsed.options;
  if (options.help) {
    console.log(USAGE);
    return 0;
  }
  if (options.cycles < 1 || options.isreadyPercent > 100) {
    console.error(`cycles: --cycles must be at least 1 and --isready-percent at most 100\n${USAGE}`);
    return 2;
  }
  const enginePath = options.engine ? resolve(options.engine) : join(REPO_DIR, 'build', 'tavrin');
  const Chess = await loadRulesLibrary();
  const openings = loadOpenings(Chess, options.openings ? resolve(options.openings) : DEFAULT_OPENINGS);
  const random = createRandom(options.seed);
  console.log(`cycles: ${options.cycles} go infinite/stop cycles, engine ${enginePath}${options.hash ? `, hash ${options.hash} MB` : ''}`);
  console.log(`openings: ${openings.games.length}; seed ${options.seed}; stop after 0..${options.maxDelay} ms; isready during ${options.isreadyPercent}% of the searches`);

  const engine = new Engine('cycles', enginePath, options.hash);
  const started = await engine.start();
  if (!started.line) {
    console.error(`cycles: the engine did not start: ${faultFromOutcome(started, 'uci handshake').detail}`);
    return 2;
  }
  const startedAt = Date.now();
  const ready = [];
  const stop = [];
  const idleReady = [];
  const faults = [];
  const memory = [];
  let done = 0;
  for (let number = 1; number <= options.cycles && faults.length < MAX_FAULTS; number++) {
    const plan = planCycle(random, openings.games.length, options.maxDelay, options.isreadyPercent / 100);
    const opening = openings.read(plan.openingIndex);
    if (opening.error) throw new Error(`opening #${plan.openingIndex + 1} is unreadable: ${opening.error}`);
    const plies = pliesOf(plan.depthFraction, opening.moves.length);
    const game = opening.fen ? new Chess(opening.fen) : new Chess();
    for (const move of opening.moves.slice(0, plies)) game.move(move);
    const commands = [positionCommand(opening, plies, plan.asFen, game.fen()), plan];
    const result = await runCycle(engine, game, commands);
    done = number;
    if (result.readyMs !== null) ready.push(result.readyMs);
    if (result.stopMs !== null) stop.push(result.stopMs);
    if (result.idleReadyMs !== null) idleReady.push(result.idleReadyMs);
    if (result.fault) {
      faults.push({ cycle: number, ...result.fault, commands: [commands[0], 'go infinite'], plan });
      printFault(number, result.fault, commands, engine);
      const restarted = await engine.restart();
      if (!restarted.line) {
        console.error('cycles: the engine did not restart after its fault');
        break;
      }
    }
    if (number === 1 || number % MEMORY_EVERY === 0) sampleMemory(engine, number, memory);
    if (number % PROGRESS_EVERY === 0) {
      const s = latencyFigures(stop);
      console.log(`cycle ${number}/${options.cycles}: faults ${faults.length}, stop->bestmove p99 ${formatMs(s.p99)} slowest ${formatMs(s.max)}`);
    }
  }
  sampleMemory(engine, 'end', memory);
  engine.send('quit');
  await engine.waitFor(() => false, 2000);
  await engine.stop();

  const figures = {
    cycles: done,
    wanted: options.cycles,
    seed: options.seed,
    wallMs: Date.now() - startedAt,
    isready: latencyFigures(ready),
    stop: latencyFigures(stop),
    idleIsready: latencyFigures(idleReady),
    faults,
    memory: samplesByProcess(memory).map((process) => ({ pid: process.pid, ...judgeMemory(process.samples) })),
    samples: memory,
  };
  if (options.json) writeFileSync(options.json, JSON.stringify(figures, null, 1) + '\n');
  const count = (kind) => faults.filter((fault) => fault.kind === kind).length;
  console.log('');
  console.log(`cycles ${done}/${options.cycles} in ${(figures.wallMs / 1000).toFixed(0)} s: illegal ${count('illegal')}, garbled ${count('garbled')}, early bestmoves ${count('early')}, double bestmoves ${count('double')}, crashes ${count('crash')}, hangs ${count('hang')}`);
  console.log(`isready during search -> readyok: ${figures.isready.count} measured, p99 ${formatMs(figures.isready.p99)}, slowest ${formatMs(figures.isready.max)}`);
  console.log(`stop -> bestmove: ${figures.stop.count} measured, p99 ${formatMs(figures.stop.p99)}, slowest ${formatMs(figures.stop.max)}`);
  console.log(`isready when idle -> readyok: p99 ${formatMs(figures.idleIsready.p99)}, slowest ${formatMs(figures.idleIsready.max)}`);
  for (const m of figures.memory) {
    console.log(`memory of pid ${m.pid}: RSS ${formatMb(m.firstKb)} at its first sample, ${formatMb(m.lastKb)} at the end, peak RSS ${formatMb(m.peakRssKb)}, VmHWM ${formatMb(m.peakHwmKb)}${m.grew ? ' GREW' : ''}`);
  }
  return faults.length || done < options.cycles || figures.memory.some((m) => m.grew) ? 1 : 0;
}

process.exitCode = await main();
