#!/usr/bin/env node
// Match between two engines, A and B (two instances of one binary, or two binaries), talking UCI
// through pipes. Each book opening is played twice with colours swapped. The script keeps the clocks
// itself (wall time from "go" to "bestmove"), or gives each move a node count instead; it checks
// every move with an independent rules library and adjudicates the game's end with that library's
// rules. A's results give its Elo over B with an error bar, and may stop the match by a sequential
// test. Faults (illegal or garbled moves, crashes, hangs) are reported with the game's PGN and the
// engine's last lines, and make the exit code 1.

import { appendFileSync, existsSync, readFileSync, writeFileSync } from 'node:fs';
import { loadavg } from 'node:os';
import { basename, join, resolve } from 'node:path';
import {
  GAME_SCORES, PAIR_SCORES, USAGE, adjudicate, chooseOpenings, eloEstimate, faultResult, formatScore, halfPointsForA,
  parseArgs, parseBestmove, recordsFromPgn, sprtStatus, tallyForA, timeForfeitResult,
} from './lib.mjs';
import {
  DEFAULT_OPENINGS, Engine, REPO_DIR, faultFromOutcome, loadOpenings, loadRulesLibrary, scheduleSince,
} from './runtime.mjs';

const HANG_GRACE_MS = 2000;
// A search of N nodes that is still running after a minute plus N / 10 ms (10,000 nodes a second,
// a hundred times slower than the engine) has hung, however loaded the machine.
const nodesHangMs = (nodes) => 60000 + nodes / 10;
const INSTANCES = ['A', 'B'];

// One line per engine of the pair; "game" is the number of the game just played, or "end".
function logMemory(options, engines, game) {
  if (!options.memoryLog) return;
  const lines = engines.map((engine) => JSON.stringify({ game, instance: engine.instance, pid: engine.child.pid, hash: options.hash, ...engine.memory() }));
  appendFileSync(options.memoryLog, lines.join('\n') + '\n');
}

// The limit of every move: "2000 nodes" or a clock such as "5+0.05".
function formatLimit(options) {
  return options.nodes ? `${options.nodes} nodes` : `${options.baseMs / 1000}+${options.incMs / 1000}`;
}

// The engines' names in the PGN: the binary's file name (its path when both names are the same
// but the files are not) and the role.
function engineNames(paths) {
  const [a, b] = paths.map((path) => basename(path));
  return paths.map((path, i) => `${a === b && paths[0] !== paths[1] ? path : [a, b][i]} (${INSTANCES[i]})`);
}

function positionCommand(opening, moves) {
  const start = opening.fen ? `position fen ${opening.fen}` : 'position startpos';
  return moves.length ? `${start} moves ${moves.join(' ')}` : start;
}

// A bestmove nobody asked for means the engine's output is out of step with its input.
function strayFault(engines) {
  const side = engines.findIndex((engine) => engine.strayBestmove);
  return side < 0 ? null : { kind: 'garbled', detail: `unrequested "${engines[side].strayBestmove}"`, side };
}

// Plays one game between engines[0] (White) and engines[1] (Black) from the opening.
async function playGame(Chess, options, number, openingIndex, opening, engines) {
  const game = opening.fen ? new Chess(opening.fen) : new Chess();
  for (const move of opening.moves) game.move(move);
  if (opening.moves.length) game.setComment('book');
  const moves = [...opening.moves];
  const clocks = [options.baseMs, options.baseMs];
  const timeUse = engines.map(() => ({ moves: 0, totalMs: 0, maxMs: 0, lowestClockMs: options.nodes ? null : options.baseMs }));
  let end = null;
  let fault = null;
  let commands = [];

  for (const [side, engine] of engines.entries()) {
    engine.send('ucinewgame');
    const ready = await engine.synchronise();
    if (!ready.line) {
      fault = { ...faultFromOutcome(ready, 'after ucinewgame'), side };
      commands = ['ucinewgame', 'isready'];
      break;
    }
  }

  while (!fault && !(fault = strayFault(engines)) && !(end = adjudicate(game, options.maxPlies))) {
    const side = game.turn() === 'w' ? 0 : 1;
    const engine = engines[side];
    commands = [
      positionCommand(opening, moves),
      options.nodes ? `go nodes ${options.nodes}`
        : `go wtime ${Math.max(0, Math.floor(clocks[0]))} btime ${Math.max(0, Math.floor(clocks[1]))} winc ${options.incMs} binc ${options.incMs}`,
    ];
    engine.lastInfo = null;
    engine.send(commands[0]);
    engine.awaitingBestmove = true;
    const scheduleAtGo = engine.schedule();
    const sentAt = process.hrtime.bigint();
    engine.send(commands[1]);
    const hangMs = options.nodes ? nodesHangMs(options.nodes) : clocks[side] + HANG_GRACE_MS;
    const reply = await engine.waitFor((line) => line.startsWith('bestmove'), hangMs);
    if (!reply.line) {
      fault = { ...faultFromOutcome(reply, 'waiting for bestmove'), side };
      if (reply.timeout) await engine.stop();
      break;
    }
    const elapsedMs = Number(reply.at - sentAt) / 1e6;
    const parsed = parseBestmove(reply.line);
    if (parsed.error) {
      fault = { kind: 'garbled', detail: `"${reply.line}": ${parsed.error}`, side };
      break;
    }
    const legal = game.moves({ verbose: true }).find((move) => move.lan === parsed.move);
    if (!legal) {
      fault = { kind: 'illegal', detail: `"${parsed.move}" is not legal in ${game.fen()}`, side };
      break;
    }
    const use = timeUse[side];
    use.moves++;
    use.totalMs += elapsedMs;
    use.maxMs = Math.max(use.maxMs, elapsedMs);
    game.move(legal.san);
    moves.push(parsed.move);
    const info = engine.lastInfo;
    game.setComment(`${info ? `${formatScore(info.score)}/${info.depth} ` : ''}${Math.round(elapsedMs)}ms`);
    if (options.nodes) continue; // no clock to keep
    clocks[side] -= elapsedMs;
    use.lowestClockMs = Math.min(use.lowestClockMs, clocks[side]);
    if (clocks[side] < 0) {
      end = timeForfeitResult(game, side === 0 ? 'w' : 'b');
      end.flag = { side, elapsedMs, clockMs: clocks[side] + elapsedMs, schedule: scheduleSince(scheduleAtGo, engine.schedule()) };
      break;
    }
    clocks[side] += options.incMs;
  }
  fault ??= strayFault(engines);
  if (fault) end = { result: faultResult(fault.side === 0 ? 'w' : 'b'), reason: `${fault.kind} by ${engines[fault.side].instance}` };

  game.setHeader('Event', 'Tavrin self-play');
  game.setHeader('Round', String(number));
  game.setHeader('White', engines[0].name);
  game.setHeader('Black', engines[1].name);
  // "-" is the tag's value for a game without a clock.
  game.setHeader('TimeControl', options.nodes ? '-' : formatLimit(options).replace(/^(\d+(?:\.\d+)?)\+0$/, '$1'));
  if (options.nodes) game.setHeader('Nodes', String(options.nodes));
  game.setHeader('Opening', `#${openingIndex + 1}`);
  game.setHeader('Termination', end.reason);
  game.setHeader('Result', end.result);
  return { number, openingIndex, opening, white: engines[0].instance, ...end, fault, commands, plies: game.history().length, pgn: game.pgn(), timeUse };
}

function formatDuration(ms) {
  const seconds = Math.round(ms / 1000);
  return `${Math.floor(seconds / 60)}m${String(seconds % 60).padStart(2, '0')}s`;
}

function gameLine(record, total) {
  const pairing = record.white === 'A' ? 'A-B' : 'B-A';
  const book = record.opening.san.slice(0, 4).join(' ');
  return `game ${String(record.number).padStart(String(total).length)}/${total}  opening #${record.openingIndex + 1} (${book}...)  ${pairing}  ${record.result.padEnd(7)}  ${record.reason.padEnd(22)}  ${record.plies} plies`;
}

function printFault(record, engine) {
  console.log(`  FAULT in game ${record.number}: ${record.fault.kind} by ${engine.instance} (${record.fault.side === 0 ? 'White' : 'Black'}): ${record.fault.detail}`);
  console.log('  reproduce with:');
  for (const command of record.commands) console.log(`    ${command}`);
  console.log('  engine\'s last lines:');
  for (const line of engine.recent) console.log(`    ${line}`);
  console.log('  PGN:');
  for (const line of record.pgn.split('\n')) console.log(`    ${line}`);
}

function printFlag(record) {
  const { side: flagSide, elapsedMs, clockMs, schedule } = record.flag;
  const instance = flagSide === 0 ? record.white : (record.white === 'A' ? 'B' : 'A');
  // Whether the engine overran its budget or waited for a processor on a busy machine.
  const split = schedule ? ` (running ${schedule.runMs.toFixed(1)} ms, waiting for a processor ${schedule.waitMs.toFixed(1)} ms)` : '';
  console.log(`  flag: ${instance} took ${elapsedMs.toFixed(1)} ms with ${clockMs.toFixed(1)} ms on its clock at ply ${record.plies}${split}`);
}

// "+17.4", "-inf" (a score of 0), "?" (not known); "17.4" unsigned.
function formatElo(elo, signed = true) {
  if (Number.isNaN(elo)) return '?';
  const sign = signed ? (elo < 0 ? '-' : '+') : '';
  return `${sign}${Number.isFinite(elo) ? Math.abs(elo).toFixed(1) : 'inf'}`;
}

// "+17.4 ± 52.1", the margin being half the 95 % interval, which the long form adds.
function formatEstimate(estimate, long) {
  const interval = long ? ` (95 %: ${formatElo(estimate.low)} to ${formatElo(estimate.high)})` : '';
  return `${formatElo(estimate.elo)} ± ${formatElo(estimate.margin, false)}${interval}`;
}

function formatSprt(sprt, llr) {
  return `LLR ${llr.toFixed(2)} (bounds ${sprt.lower.toFixed(2)}, ${sprt.upper.toFixed(2)})`;
}

// A's score so far: games, Elo by pairs (or by games before the first pair is complete), and the LLR.
function progressLine(records, options) {
  const { games, pairs, pairCount } = tallyForA(records);
  const estimate = pairCount ? eloEstimate(pairs, PAIR_SCORES) : eloEstimate(games, GAME_SCORES);
  const basis = pairCount ? `${pairCount} pairs` : `${records.length} games`;
  const sprt = options.sprt ? `, ${formatSprt(options.sprt, sprtStatus(pairs, options.sprt).llr)}` : '';
  return `after ${records.length} games: A +${games[2]} =${games[1]} -${games[0]}, score ${(100 * estimate.score).toFixed(1)} %, Elo ${formatEstimate(estimate, false)} over ${basis}${sprt}`;
}

// A's results against B: score, Elo by the pentanomial model over complete pairs and by the
// trinomial model over games, and the sequential test's verdict.
function resultLines(records, options, verdict) {
  const { games, pairs, pairCount } = tallyForA(records);
  const points = games[1] / 2 + games[2];
  const lines = [`result of A against B: +${games[2]} =${games[1]} -${games[0]}, ${points}/${records.length} (${(100 * points / records.length).toFixed(1)} %)`];
  if (pairCount) {
    lines.push(`pairs by A's points 0, 0.5, 1, 1.5, 2: ${pairs.join(', ')} (total ${pairCount})`);
    lines.push(`Elo of A - B, pentanomial over pairs: ${formatEstimate(eloEstimate(pairs, PAIR_SCORES), true)}`);
  }
  lines.push(`Elo of A - B, trinomial over games:   ${formatEstimate(eloEstimate(games, GAME_SCORES), true)}`);
  if (options.sprt) {
    const { elo0, elo1, alpha, beta } = options.sprt;
    const test = `SPRT of logistic Elo ${elo0} (H0) against ${elo1} (H1), alpha ${alpha}, beta ${beta}`;
    const now = formatSprt(options.sprt, sprtStatus(pairs, options.sprt).llr);
    if (!verdict) lines.push(`${test}: no verdict after ${pairCount} pairs, ${now}`);
    else {
      const later = verdict.pairs === pairCount ? '' : `; over all ${pairCount} pairs ${now}`;
      lines.push(`${test}: ${verdict.verdict} accepted after ${verdict.pairs} pairs, ${formatSprt(options.sprt, verdict.llr)}${later}`);
    }
  }
  return lines;
}

function summarise(records, options, wallMs, loadAtStart, verdict) {
  const count = (predicate) => records.filter(predicate).length;
  const faults = (kind) => count((record) => record.fault?.kind === kind);
  const reasons = new Map();
  for (const record of records) reasons.set(record.reason, (reasons.get(record.reason) ?? 0) + 1);
  const plies = records.map((record) => record.plies);
  console.log('');
  console.log(`games ${records.length} at ${formatLimit(options)}: A wins ${count((r) => halfPointsForA(r) === 2)}, B wins ${count((r) => halfPointsForA(r) === 0)}, draws ${count((r) => r.result === '1/2-1/2')} (White wins ${count((r) => r.result === '1-0')}, Black wins ${count((r) => r.result === '0-1')})`);
  console.log(`endings: ${[...reasons].sort((a, b) => b[1] - a[1]).map(([reason, n]) => `${reason} ${n}`).join(', ')}`);
  console.log(`illegal moves ${faults('illegal')}, garbled bestmoves ${faults('garbled')}, time forfeits ${count((r) => r.flag)}, crashes ${faults('crash')}, hangs ${faults('hang')}`);
  console.log(`average plies ${(plies.reduce((a, b) => a + b, 0) / plies.length).toFixed(1)} (shortest ${Math.min(...plies)}, longest ${Math.max(...plies)})`);
  for (const instance of INSTANCES) {
    const uses = records.flatMap((record) => record.timeUse.filter((_, sideIndex) => (sideIndex === 0) === (record.white === instance)));
    const moves = uses.reduce((a, use) => a + use.moves, 0);
    if (moves === 0) continue;
    const mean = uses.reduce((a, use) => a + use.totalMs, 0) / moves;
    const max = Math.max(...uses.map((use) => use.maxMs));
    const clock = options.nodes ? '' : `, lowest clock left ${Math.min(...uses.map((use) => use.lowestClockMs)).toFixed(0)} ms`;
    console.log(`time use ${instance}: ${moves} moves, mean ${mean.toFixed(1)} ms, longest ${max.toFixed(1)} ms${clock}`);
  }
  for (const line of resultLines(records, options, verdict)) console.log(line);
  console.log(`total time ${formatDuration(wallMs)}; load average ${loadAtStart.toFixed(2)} at start, ${loadavg()[0].toFixed(2)} at end`);
}

// --tally: the result lines over games already played, as if one match had played them all.
function tally(options) {
  const files = options.tally.split(',');
  const missing = files.find((file) => !existsSync(file));
  if (missing) {
    console.error(`selfplay: no PGN file ${missing}`);
    return 2;
  }
  const records = recordsFromPgn(files.map((file) => readFileSync(file, 'utf8')));
  if (!records.length) {
    console.error(`selfplay: no finished games in ${files.join(', ')}`);
    return 2;
  }
  const { pairs, pairCount } = tallyForA(records);
  const status = options.sprt ? sprtStatus(pairs, options.sprt) : {};
  console.log(`tally of ${records.length} games from ${files.join(', ')}`);
  for (const line of resultLines(records, options, status.verdict ? { ...status, pairs: pairCount } : null)) console.log(line);
  return 0;
}

async function main() {
  const parsed = parseArgs(process.argv.slice(2));
  if (parsed.error) {
    console.error(`selfplay: ${parsed.error}\n${USAGE}`);
    return 2;
  }
  const options = parsed.options;
  if (options.help) {
    console.log(USAGE);
    return 0;
  }
  if (options.tally) return tally(options);
  const enginePath = options.engine ? resolve(options.engine) : join(REPO_DIR, 'build', 'tavrin');
  const enginePaths = [enginePath, options.engineB ? resolve(options.engineB) : enginePath];
  const openingsPath = options.openings ? resolve(options.openings) : DEFAULT_OPENINGS;
  const missing = enginePaths.find((path) => !existsSync(path));
  if (missing) {
    console.error(`selfplay: no engine at ${missing} (build it with "make build")`);
    return 2;
  }
  if (!existsSync(openingsPath)) {
    console.error(`selfplay: no openings at ${openingsPath} (give --openings PATH)`);
    return 2;
  }
  if (options.memoryLog) writeFileSync(options.memoryLog, '');
  if (options.pgn) writeFileSync(options.pgn, '');
  const Chess = await loadRulesLibrary();
  const openings = loadOpenings(Chess, openingsPath);
  const chosen = chooseOpenings(options.games, openings.games.length, options.seed);
  const loadAtStart = loadavg()[0];
  const engines = enginePaths[0] === enginePaths[1] ? `engine ${enginePath}` : `engine A ${enginePaths[0]}, engine B ${enginePaths[1]}`;
  console.log(`selfplay: ${options.sprt ? 'at most ' : ''}${options.games} games at ${formatLimit(options)}, ${engines}${options.hash ? `, hash ${options.hash} MB` : ''}, concurrency ${options.concurrency}`);
  console.log(`openings: ${openings.games.length} from ${openings.files.join(', ')}; seed ${options.seed}; move cap ${options.maxPlies} plies; load average ${loadAtStart.toFixed(2)}`);

  const startedAt = Date.now();
  const records = [];
  const workerEngines = [];
  const names = engineNames(enginePaths);
  let next = 0;
  let verdict = null; // the sequential test's, when it ended the match
  let interrupted = false; // games cut short by an interrupt are not counted
  const worker = async () => {
    const engines = INSTANCES.map((instance, i) => Object.assign(new Engine(instance, enginePaths[i], options.hash), { name: names[i] }));
    workerEngines.push(engines);
    for (const engine of engines) {
      const started = await engine.start();
      if (!started.line) throw new Error(`engine ${engine.instance} did not start: ${faultFromOutcome(started, 'uci handshake').detail}\n${engine.recent.join('\n')}`);
    }
    while (next < options.games && !verdict) {
      const index = next++;
      const openingIndex = chosen[Math.floor(index / 2)];
      const opening = openings.read(openingIndex);
      if (opening.error) throw new Error(`opening #${openingIndex + 1} is unreadable: ${opening.error}`);
      const seats = index % 2 === 0 ? engines : [engines[1], engines[0]];
      const record = await playGame(Chess, options, index + 1, openingIndex, opening, seats);
      if (interrupted) return;
      records.push(record);
      console.log(gameLine(record, options.games));
      // Each game is kept as it ends, so a long match that is cut off leaves its games behind.
      if (options.pgn) appendFileSync(options.pgn, `${record.pgn}\n\n`);
      if (options.progress && records.length % options.progress === 0) console.log(progressLine(records, options));
      if (options.sprt && !verdict) {
        const tally = tallyForA(records);
        const status = sprtStatus(tally.pairs, options.sprt);
        if (status.verdict) {
          verdict = { ...status, pairs: tally.pairCount };
          console.log(`SPRT: ${verdict.verdict} accepted after ${verdict.pairs} pairs, ${formatSprt(options.sprt, verdict.llr)}; no new games`);
        }
      }
      logMemory(options, engines, record.number);
      if (record.flag) printFlag(record);
      if (record.fault) {
        const culprit = seats[record.fault.side];
        printFault(record, culprit);
        const restarted = await culprit.restart();
        if (!restarted.line) throw new Error(`engine ${culprit.instance} did not restart after its fault`);
      }
    }
  };
  const stopAll = () => Promise.all(workerEngines.flat().map((engine) => engine.stop()));
  // An interrupted match still reports the games it finished.
  const finish = (finished) => {
    finished.sort((a, b) => a.number - b.number);
    if (options.pgn) writeFileSync(options.pgn, finished.map((record) => record.pgn).join('\n\n') + '\n');
    if (finished.length) summarise(finished, options, Date.now() - startedAt, loadAtStart, verdict);
  };
  process.on('SIGINT', () => {
    interrupted = true;
    finish(records);
    stopAll().then(() => process.exit(130));
  });
  try {
    await Promise.all(Array.from({ length: Math.min(options.concurrency, options.games) }, worker));
  } catch (error) {
    console.error(`selfplay: ${error.message}`);
    await stopAll();
    return 2;
  }
  for (const engines of workerEngines) logMemory(options, engines, 'end');
  await Promise.all(workerEngines.flat().map(async (engine) => {
    engine.send('quit');
    await engine.waitFor(() => false, 2000);
    await engine.stop();
  }));
  finish(records);
  return records.some((record) => record.fault) ? 1 : 0;
}

process.exitCode = await main();
