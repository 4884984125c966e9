#!/usr/bin/env node
// Gathers what the soak's phases left in its folder (the match logs and their exit codes, the
// memory records, the cycle figures) into one summary block, and exits 1 when anything in it is a
// fault: an illegal or garbled move, a time forfeit, a crash, a hang, a phase that did not finish,
// or resident memory that kept growing.
//
// usage: node report.mjs --dir DIR --hashes 16,2048 [--started EPOCH_SECONDS] [--engine PATH] [--tc B+I] [--seed S]

import { existsSync, readFileSync } from 'node:fs';
import { loadavg } from 'node:os';
import { join } from 'node:path';
import { parseOptions } from '../selfplay/lib.mjs';
import { formatMb, formatMs, judgeMemory, parseMatchSummary, samplesByProcess } from './figures.mjs';

const DEFAULTS = { dir: '', hashes: '', started: 0, engine: '', tc: '', seed: '', load: '' };
const INTEGER_OPTIONS = { '--started': 'started' };
const TEXT_OPTIONS = { '--dir': 'dir', '--hashes': 'hashes', '--engine': 'engine', '--tc': 'tc', '--seed': 'seed', '--load': 'load' };

const readText = (path) => (existsSync(path) ? readFileSync(path, 'utf8') : null);
const readCode = (path) => (existsSync(path) ? Number(readFileSync(path, 'utf8').trim()) : null);

function readMemoryLog(path) {
  const text = readText(path);
  if (text === null) return [];
  return text.split('\n').filter((line) => line.trim() !== '').map((line) => JSON.parse(line));
}

function formatDuration(ms) {
  const seconds = Math.round(ms / 1000);
  const h = Math.floor(seconds / 3600);
  const m = Math.floor((seconds % 3600) / 60);
  return `${h}h${String(m).padStart(2, '0')}m${String(seconds % 60).padStart(2, '0')}s`;
}

function signedMb(kb) {
  return `${kb >= 0 ? '+' : '-'}${formatMb(Math.abs(kb))}`;
}

// One line per process: its first and last resident size and the rise between them.
function memoryLines(label, records, faults, firstWhen) {
  const lines = [];
  const processes = samplesByProcess(records).map((process) => ({ ...process, verdict: judgeMemory(process.samples) }));
  const verdicts = processes.map((process) => process.verdict).filter(Boolean);
  if (verdicts.length === 0) {
    lines.push(`${label}: no samples`);
    faults.push(`${label}: no memory samples`);
    return lines;
  }
  lines.push(`${label}: peak RSS ${formatMb(Math.max(...verdicts.map((v) => v.peakRssKb)))}, peak VmHWM ${formatMb(Math.max(...verdicts.map((v) => v.peakHwmKb)))}`);
  for (const { pid, instance, verdict } of processes) {
    if (!verdict) continue;
    lines.push(`  ${instance} (pid ${pid}, ${verdict.samples} samples): RSS ${formatMb(verdict.firstKb)} ${firstWhen}, ${formatMb(verdict.lastKb)} at the end (${signedMb(verdict.growthKb)}; ${signedMb(verdict.lateGrowthKb)} over the second half)${verdict.grew ? '  GREW' : ''}`);
    if (verdict.grew) faults.push(`${label}: resident memory of ${instance} (pid ${pid}) grew by ${formatMb(verdict.growthKb)}`);
  }
  return lines;
}

function gamesSection(dir, hashes, faults) {
  const lines = [];
  const totals = { games: 0, moves: 0, illegal: 0, garbled: 0, forfeits: 0, crashes: 0, hangs: 0 };
  const lowest = [];
  const longest = [];
  for (const hash of hashes) {
    const log = readText(join(dir, `games-${hash}.log`));
    if (log === null) continue;
    const code = readCode(join(dir, `games-${hash}.rc`));
    const summary = parseMatchSummary(log);
    if (!summary) {
      faults.push(`games at Hash ${hash}: the match did not finish (exit code ${code})`);
      lines.push(`games at Hash ${hash}: did not finish (exit code ${code}); see games-${hash}.log`);
      continue;
    }
    for (const key of Object.keys(totals)) totals[key] += summary[key];
    if (summary.lowestClockMs !== null) lowest.push(`${summary.lowestClockMs} ms at Hash ${hash}`);
    if (summary.longestMoveMs !== null) longest.push(`${summary.longestMoveMs} ms at Hash ${hash}`);
    lines.push(`games at Hash ${hash}: ${summary.games}, moves ${summary.moves}, illegal ${summary.illegal}, garbled ${summary.garbled}, forfeits ${summary.forfeits}, crashes ${summary.crashes}, hangs ${summary.hangs}, lowest clock left ${summary.lowestClockMs} ms`);
    if (code !== 0 && summary.illegal + summary.garbled + summary.crashes + summary.hangs === 0) faults.push(`games at Hash ${hash}: the match exited with code ${code}`);
  }
  if (lines.length === 0) return ['games: skipped'];
  lines.unshift(`games: ${totals.games}, moves ${totals.moves}; illegal moves ${totals.illegal}, garbled bestmoves ${totals.garbled}, time forfeits ${totals.forfeits}, crashes ${totals.crashes}, hangs ${totals.hangs}`);
  lines.push(`lowest clock left: ${lowest.join(', ') || '-'}; longest move: ${longest.join(', ') || '-'}`);
  for (const kind of ['illegal', 'garbled', 'forfeits', 'crashes', 'hangs']) if (totals[kind] > 0) faults.push(`games: ${totals[kind]} ${kind}`);
  for (const hash of hashes) {
    const records = readMemoryLog(join(dir, `memory-${hash}.jsonl`));
    if (readText(join(dir, `games-${hash}.log`)) !== null) lines.push(...memoryLines(`memory at Hash ${hash}`, records, faults, 'after its first game'));
  }
  return lines;
}

function cyclesSection(dir, faults) {
  const text = readText(join(dir, 'cycles.json'));
  const code = readCode(join(dir, 'cycles.rc'));
  if (text === null) {
    if (code === null) return ['cycles: skipped'];
    faults.push(`cycles: did not finish (exit code ${code})`);
    return [`cycles: did not finish (exit code ${code}); see cycles.log`];
  }
  const figures = JSON.parse(text);
  const count = (kind) => figures.faults.filter((fault) => fault.kind === kind).length;
  const lines = [
    `cycles: ${figures.cycles}/${figures.wanted} in ${formatDuration(figures.wallMs)}; illegal ${count('illegal')}, garbled ${count('garbled')}, early bestmoves ${count('early')}, double bestmoves ${count('double')}, crashes ${count('crash')}, hangs ${count('hang')}`,
    `isready -> readyok during the search: ${figures.isready.count} measured, p99 ${formatMs(figures.isready.p99)}, slowest ${formatMs(figures.isready.max)}`,
    `stop -> bestmove: ${figures.stop.count} measured, p99 ${formatMs(figures.stop.p99)}, slowest ${formatMs(figures.stop.max)}`,
    `isready -> readyok when idle: p99 ${formatMs(figures.idleIsready.p99)}, slowest ${formatMs(figures.idleIsready.max)}`,
  ];
  for (const fault of figures.faults) faults.push(`cycle ${fault.cycle}: ${fault.kind}: ${fault.detail}`);
  if (figures.cycles < figures.wanted) faults.push(`cycles: only ${figures.cycles} of ${figures.wanted} ran`);
  lines.push(...memoryLines('memory in the cycles', figures.samples, faults, 'after its first cycle'));
  return lines;
}

function main() {
  const parsed = parseOptions(process.argv.slice(2), DEFAULTS, INTEGER_OPTIONS, TEXT_OPTIONS);
  if (parsed.error || !parsed.options.dir) {
    console.error(`report: ${parsed.error ?? '--dir is needed'}`);
    return 2;
  }
  const options = parsed.options;
  const hashes = options.hashes.split(',').filter((hash) => hash !== '');
  const faults = [];
  const lines = [
    ...(options.engine ? [`engine: ${options.engine}; time control ${options.tc}; seed ${options.seed}`] : []),
    ...gamesSection(options.dir, hashes, faults),
    ...cyclesSection(options.dir, faults),
    `load average: ${options.load ? `${options.load} at start, ` : ''}${loadavg()[0].toFixed(2)} at the end`,
  ];
  if (options.started) lines.push(`wall time: ${formatDuration(Date.now() - options.started * 1000)}`);
  lines.push(faults.length ? `verdict: FAIL (${faults.length} faults)` : 'verdict: PASS');
  for (const fault of faults) lines.push(`  ${fault}`);
  console.log('');
  console.log('==================== soak summary ====================');
  for (const line of lines) console.log(line);
  console.log('======================================================');
  return faults.length ? 1 : 0;
}

process.exitCode = main();
