// Checks of the soak's pure helpers against values worked out by hand and against the rules library.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import { createRandom } from '../../selfplay/lib.mjs';
import { GROWTH_LIMIT_KB, judgeMemory, latencyFigures, percentile, planCycle, pliesOf, positionCommand, samplesByProcess } from '../figures.mjs';

const { Chess } = createRequire(new URL('../../selfplay/package.json', import.meta.url))('chess.js');
const MIB = 1024;

test('the 99th percentile is the nearest-rank value, and the maximum is the largest', () => {
  const hundred = Array.from({ length: 100 }, (_, i) => 100 - i); // 100 down to 1, unsorted on purpose
  assert.equal(percentile(hundred, 99), 99);
  assert.equal(percentile(hundred, 100), 100);
  assert.equal(percentile(hundred, 50), 50);
  assert.equal(percentile(Array.from({ length: 200 }, (_, i) => i + 1), 99), 198);
  assert.equal(percentile([7.5], 99), 7.5);
  assert.equal(percentile([3, 1, 2], 0), 1);
  assert.deepEqual(latencyFigures([0.5, 9, 2]), { count: 3, p99: 9, max: 9 });
  assert.deepEqual(latencyFigures([]), { count: 0, p99: null, max: null });
  assert.deepEqual(hundred.slice(0, 2), [100, 99], 'the input is left in its order');
});

test('a cycle plays from none to all of the opening, and both position forms reach the same position', () => {
  assert.equal(pliesOf(0, 16), 0);
  assert.equal(pliesOf(0.9999, 16), 16);
  assert.equal(pliesOf(0.5, 16), 8);
  assert.equal(pliesOf(0.7, 0), 0);
  const opening = { fen: null, moves: ['e2e4', 'c7c5', 'g1f3', 'd7d6', 'e1g1'] };
  assert.equal(positionCommand(opening, 0, false, ''), 'position startpos');
  assert.equal(positionCommand(opening, 3, false, ''), 'position startpos moves e2e4 c7c5 g1f3');
  const fromFen = { fen: '4k3/8/8/8/8/8/4P3/4K3 w - - 0 1', moves: ['e2e4', 'e8d7'] };
  assert.equal(positionCommand(fromFen, 1, false, ''), 'position fen 4k3/8/8/8/8/8/4P3/4K3 w - - 0 1 moves e2e4');
  // The coordinate moves, played by the rules library, land on the FEN the other form sends.
  const played = new Chess();
  for (const move of ['e2e4', 'c7c5', 'g1f3']) played.move(move);
  assert.equal(positionCommand(opening, 3, true, played.fen()), 'position fen rnbqkbnr/pp1ppppp/8/2p5/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 1 2');
});

test('cycle plans cover every delay from 0 to the longest, and isready falls inside the delay', () => {
  const random = createRandom(42);
  const delays = new Set();
  let withIsready = 0;
  let asFen = 0;
  const draws = 5000;
  for (let i = 0; i < draws; i++) {
    const plan = planCycle(random, 37, 20, 0.25);
    assert.ok(plan.openingIndex >= 0 && plan.openingIndex < 37 && Number.isInteger(plan.openingIndex));
    assert.ok(plan.delayMs >= 0 && plan.delayMs <= 20 && Number.isInteger(plan.delayMs));
    delays.add(plan.delayMs);
    if (plan.isreadyAtMs !== null) {
      withIsready++;
      assert.ok(plan.isreadyAtMs >= 0 && plan.isreadyAtMs <= plan.delayMs);
    }
    if (plan.asFen) asFen++;
  }
  assert.equal(delays.size, 21);
  assert.ok(Math.abs(withIsready / draws - 0.25) < 0.03, `${withIsready} of ${draws} with isready`);
  assert.ok(Math.abs(asFen / draws - 0.5) < 0.03);
  assert.deepEqual(planCycle(createRandom(9), 10, 20, 0.5), planCycle(createRandom(9), 10, 20, 0.5), 'a seed repeats its plan');
});

const series = (values) => values.map((rssKb) => ({ rssKb, hwmKb: rssKb + 100 }));

test('memory that warms up and then stays flat passes; memory that keeps rising fails', () => {
  // A pawn cache filling its pages over the first games, then nothing.
  const warming = series([40 * MIB, 48 * MIB, 53 * MIB, 55 * MIB, ...Array(20).fill(55.5 * MIB)]);
  const warm = judgeMemory(warming);
  assert.equal(warm.grew, false);
  assert.equal(warm.firstKb, 40 * MIB);
  assert.equal(warm.lastKb, 55.5 * MIB);
  assert.equal(warm.growthKb, 15.5 * MIB);
  assert.equal(warm.peakHwmKb, 55.5 * MIB + 100);
  // A leak of half a MiB a game: small against the table, but it never stops.
  const leaking = judgeMemory(series(Array.from({ length: 21 }, (_, i) => 2068 * MIB + i * 512)));
  assert.equal(leaking.grew, true);
  assert.equal(leaking.lateGrowthKb, 10 * 512);
  // One large jump is too much even when few samples were taken.
  assert.equal(judgeMemory(series([100 * MIB, 100 * MIB + GROWTH_LIMIT_KB + 1])).grew, true);
  // Two samples cannot show a trend, so a warm-up between them is not taken for one.
  assert.equal(judgeMemory(series([140 * MIB, 147 * MIB])).grew, false);
  // A sample from a process already gone carries no figures and is left out.
  assert.equal(judgeMemory([{ rssKb: 10, hwmKb: 10 }, { instance: 'A' }]).samples, 1);
  assert.equal(judgeMemory([]), null);
});

test('memory records are grouped by process, so a restarted engine starts a fresh series', () => {
  const records = [
    { pid: 7, instance: 'A', rssKb: 1 }, { pid: 8, instance: 'B', rssKb: 2 },
    { pid: 9, instance: 'A', rssKb: 3 }, { pid: 8, instance: 'B', rssKb: 4 },
  ];
  const groups = samplesByProcess(records);
  assert.deepEqual(groups.map((g) => [g.pid, g.instance, g.samples.map((s) => s.rssKb)]), [[7, 'A', [1]], [8, 'B', [2, 4]], [9, 'A', [3]]]);
});
