// Pure helpers of the soak: the plan of one go/stop cycle, latency percentiles, the memory verdict
// and the reading of the match script's summary. Nothing here starts a process or reads a clock,
// so all of it is checked by test/figures.test.mjs.

// Resident memory may rise while pages of the fixed caches are first written (the pawn cache and
// the material table are static arrays of about 18 MiB together, resident only once touched), so
// a process is judged on two margins: its whole rise after the first sample, which must stay
// within what those caches can add, and, once there are enough samples to tell, its rise over the
// second half of them, by when the caches are warm and the resident size should be flat.
export const GROWTH_LIMIT_KB = 32 * 1024;
export const LATE_GROWTH_LIMIT_KB = 2 * 1024;
export const LATE_GROWTH_MIN_SAMPLES = 5;

// Nearest-rank percentile (p in 0..100) of a list of numbers; null for an empty list.
export function percentile(values, p) {
  if (values.length === 0) return null;
  const sorted = [...values].sort((a, b) => a - b);
  const rank = Math.max(1, Math.ceil((p / 100) * sorted.length));
  return sorted[rank - 1];
}

// { count, p99, max } of a list of latencies in milliseconds.
export function latencyFigures(values) {
  return { count: values.length, p99: percentile(values, 99), max: values.length ? Math.max(...values) : null };
}

// The position command for the first `plies` moves of an opening, as a FEN (fenText is the
// rules library's FEN after those moves) or as the start followed by the moves.
export function positionCommand(opening, plies, asFen, fenText) {
  if (asFen) return `position fen ${fenText}`;
  const start = opening.fen ? `position fen ${opening.fen}` : 'position startpos';
  return plies > 0 ? `${start} moves ${opening.moves.slice(0, plies).join(' ')}` : start;
}

// Draws one cycle from the seeded generator: which opening and how far into it, the time before
// "stop" (0..maxDelayMs whole milliseconds) and, for a share of the cycles, when during that time
// "isready" goes out (null for none).
export function planCycle(random, openingCount, maxDelayMs, isreadyShare) {
  const openingIndex = Math.floor(random() * openingCount);
  const depthFraction = random();
  const asFen = random() < 0.5;
  const delayMs = Math.floor(random() * (maxDelayMs + 1));
  const isreadyAtMs = random() < isreadyShare ? Math.floor(random() * (delayMs + 1)) : null;
  return { openingIndex, depthFraction, asFen, delayMs, isreadyAtMs };
}

// How many of an opening's moves a depth fraction in [0, 1) plays: 0 up to all of them.
export function pliesOf(depthFraction, moveCount) {
  return Math.min(moveCount, Math.floor(depthFraction * (moveCount + 1)));
}

// Judges the memory samples of one process, in the order taken: { firstKb, lastKb, peakRssKb,
// peakHwmKb, growthKb, lateGrowthKb, grew }. Samples are { rssKb, hwmKb }.
export function judgeMemory(samples) {
  const usable = samples.filter((sample) => Number.isFinite(sample.rssKb));
  if (usable.length === 0) return null;
  const first = usable[0].rssKb;
  const last = usable[usable.length - 1].rssKb;
  const middle = usable[Math.floor((usable.length - 1) / 2)].rssKb;
  const growthKb = last - first;
  const lateGrowthKb = last - middle;
  return {
    samples: usable.length,
    firstKb: first,
    lastKb: last,
    peakRssKb: Math.max(...usable.map((sample) => sample.rssKb)),
    peakHwmKb: Math.max(...usable.map((sample) => sample.hwmKb)),
    growthKb,
    lateGrowthKb,
    grew: growthKb > GROWTH_LIMIT_KB || (usable.length >= LATE_GROWTH_MIN_SAMPLES && lateGrowthKb > LATE_GROWTH_LIMIT_KB),
  };
}

// Groups memory records (one JSON object a line: pid, instance, rssKb, hwmKb ...) by process, in
// the order each process first appears.
export function samplesByProcess(records) {
  const byPid = new Map();
  for (const record of records) {
    if (!byPid.has(record.pid)) byPid.set(record.pid, { pid: record.pid, instance: record.instance, samples: [] });
    byPid.get(record.pid).samples.push(record);
  }
  return [...byPid.values()];
}

// Reads the figures of the match script's closing summary; null when the summary is missing
// (the match did not finish).
export function parseMatchSummary(text) {
  const games = /^games (\d+) at /m.exec(text);
  const faults = /^illegal moves (\d+), garbled bestmoves (\d+), time forfeits (\d+), crashes (\d+), hangs (\d+)$/m.exec(text);
  if (!games || !faults) return null;
  const [illegal, garbled, forfeits, crashes, hangs] = faults.slice(1).map(Number);
  const uses = [...text.matchAll(/^time use (\w+): (\d+) moves, mean ([\d.]+) ms, longest ([\d.]+) ms, lowest clock left (-?\d+) ms$/gm)];
  return {
    games: Number(games[1]),
    moves: uses.reduce((sum, use) => sum + Number(use[2]), 0),
    longestMoveMs: uses.length ? Math.max(...uses.map((use) => Number(use[4]))) : null,
    lowestClockMs: uses.length ? Math.min(...uses.map((use) => Number(use[5]))) : null,
    illegal,
    garbled,
    forfeits,
    crashes,
    hangs,
  };
}

// Mebibytes with one decimal, from KiB.
export function formatMb(kb) {
  return kb === null || kb === undefined ? '-' : `${(kb / 1024).toFixed(1)} MiB`;
}

// Milliseconds with two decimals.
export function formatMs(ms) {
  return ms === null || ms === undefined ? '-' : `${ms.toFixed(2)} ms`;
}
