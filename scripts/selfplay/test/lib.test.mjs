// Checks of the match helpers against positions and texts worked out by hand.
// Run with "npm test" (or "node --test") in this folder after "npm ci".
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { Chess } from 'chess.js';
import {
  GAME_SCORES, MIN_SPRT_PAIRS, PAIR_SCORES, adjudicate, chooseOpenings, createRandom, eloEstimate, eloFromScore, formatScore,
  parseArgs, parseBestmove, parseInfo, parseTimeControl, readOpening, recordsFromPgn, splitPgnGames, sprtLlr, sprtStatus, tallyForA,
  timeForfeitResult,
} from '../lib.mjs';

test('time controls read as milliseconds of base and increment', () => {
  assert.deepEqual(parseTimeControl('5+0.05'), { baseMs: 5000, incMs: 50 });
  assert.deepEqual(parseTimeControl('1+0.01'), { baseMs: 1000, incMs: 10 });
  assert.deepEqual(parseTimeControl('0.5+0.005'), { baseMs: 500, incMs: 5 });
  assert.deepEqual(parseTimeControl('10'), { baseMs: 10000, incMs: 0 });
  for (const bad of ['0+1', '5+', '+1', 'abc', '5+0.05+1', '-5+1', '']) assert.equal(parseTimeControl(bad), null, bad);
});

test('options take both spellings and refuse what they cannot use', () => {
  const { options } = parseArgs([]);
  assert.equal(options.games, 100);
  assert.equal(options.baseMs, 5000);
  assert.equal(options.concurrency, 1);
  const custom = parseArgs(['--games=4', '--tc', '1+0.01', '--hash', '64', '--seed', '7']).options;
  assert.deepEqual([custom.games, custom.baseMs, custom.incMs, custom.hash, custom.seed], [4, 1000, 10, 64, 7]);
  assert.match(parseArgs(['--rounds', '3']).error, /unknown option/);
  assert.match(parseArgs(['--games']).error, /needs a value/);
  assert.match(parseArgs(['--games', 'ten']).error, /whole number/);
  assert.match(parseArgs(['--games', '0']).error, /at least 1/);
  assert.match(parseArgs(['--tc', '1:00']).error, /--tc/);
});

test('a match at a node count has no clock, and the sequential test reads its bounds and rates', () => {
  const nodes = parseArgs(['--nodes', '20000', '--engine-b', '/tmp/old']).options;
  assert.deepEqual([nodes.nodes, nodes.baseMs, nodes.engineB, nodes.sprt], [20000, undefined, '/tmp/old', null]);
  assert.match(parseArgs(['--nodes', '100', '--tc', '1+0.01']).error, /exclude/);
  const { sprt } = parseArgs(['--sprt', '-1.5,4', '--alpha', '0.1']).options;
  assert.deepEqual([sprt.elo0, sprt.elo1, sprt.alpha, sprt.beta], [-1.5, 4, 0.1, 0.05]);
  // log(beta / (1 - alpha)) and log((1 - beta) / alpha) worked out by hand.
  assert.ok(Math.abs(sprt.lower - Math.log(0.05 / 0.9)) < 1e-12 && Math.abs(sprt.upper - Math.log(9.5)) < 1e-12);
  for (const bad of [['--sprt', '10,0'], ['--sprt', '5'], ['--sprt', '0,x'], ['--sprt', '0,10', '--beta', '0.5'], ['--alpha', '0.1']])
    assert.ok(parseArgs(bad).error, bad.join(' '));
});

test('games pair by opening and count for A whatever its colour; an unfinished pair counts only as games', () => {
  const games = [
    { number: 1, white: 'A', result: '1-0' }, { number: 2, white: 'B', result: '1/2-1/2' }, // 1.5
    { number: 4, white: 'B', result: '1-0' }, { number: 3, white: 'A', result: '1-0' }, // 1
    { number: 5, white: 'A', result: '0-1' },
  ];
  assert.deepEqual(tallyForA(games), { games: [2, 1, 2], pairs: [0, 0, 1, 1, 0], pairCount: 2 });
});

test('games from several PGN files tally as one match, no pair spanning two files', () => {
  const game = (round, white, result) =>
    `[Round "${round}"]\n[White "${white}"]\n[Black "x"]\n[Result "${result}"]\n\n1. e4 e5 ${result}\n`;
  // The first file was cut off after game 3, whose partner never came.
  const first = [game(1, 'new (A)', '1-0'), game(2, 'old (B)', '1/2-1/2'), game(3, 'new (A)', '0-1')].join('\n');
  const second = [game(1, 'old (B)', '1-0'), game(2, 'new (A)', '1-0'), game(3, 'new (A)', '*')].join('\n');
  const records = recordsFromPgn([first, second]);
  assert.deepEqual(records.map((r) => [r.number, r.white, r.result]), [
    [1, 'A', '1-0'], [2, 'B', '1/2-1/2'], [3, 'A', '0-1'], [5, 'B', '1-0'], [6, 'A', '1-0'],
  ]);
  assert.deepEqual(tallyForA(records).pairs, [0, 0, 1, 1, 0]);
});

const near = (actual, expected, what) => assert.ok(Math.abs(actual - expected) < 0.01, `${what}: ${actual}, expected ${expected}`);

test('Elo and its 95 % interval from games and from pairs match figures worked out by hand', () => {
  near(eloFromScore(0.75), 400 * Math.log10(3), 'score 3/4');
  assert.equal(eloFromScore(1), Infinity);
  // 60 wins, 20 draws, 20 losses: score 0.7, variance per game 0.16, interval 0.7 ± 1.96 * 0.04.
  const trinomial = eloEstimate([20, 20, 60], GAME_SCORES);
  near(trinomial.elo, 147.19, 'trinomial Elo');
  near(trinomial.low, 86.23, 'trinomial low');
  near(trinomial.high, 218.25, 'trinomial high');
  // Equal counts of every pair score: even, variance per pair 0.125, interval 0.5 ± 1.96 * 0.0354.
  const even = eloEstimate([20, 20, 20, 20, 20], PAIR_SCORES);
  near(even.elo, 0, 'even Elo');
  near(even.margin, 48.46, 'even margin');
  // Pairs that each split a win and a loss tell that the engines are even, which single games cannot.
  assert.equal(eloEstimate([0, 0, 50, 0, 0], PAIR_SCORES).margin, 0);
  assert.ok(eloEstimate([50, 0, 50], GAME_SCORES).margin > 60);
});

test('the log-likelihood ratio follows the normal approximation and gives no verdict on few pairs', () => {
  // Mean 0.5, variance 0.075, s1 = 1 / (1 + 10^(-10/400)) = 0.514387: 100 * 0.014387 * -0.014387 / 0.15.
  near(sprtLlr([10, 20, 40, 20, 10], 0, 10), -0.138, 'even pairs');
  // At the bounds' midpoint the data favour neither, and the ratio grows with the pairs.
  near(sprtLlr([10, 20, 40, 20, 10], -10, 10), 0, 'midpoint');
  near(sprtLlr([20, 40, 80, 40, 20], 0, 10), -0.276, 'twice the pairs');
  assert.equal(sprtLlr([0, 0, 0, 0, 0], 0, 10), 0);
  const sprt = parseArgs(['--sprt', '0,10']).options.sprt;
  const sweep = (pairs) => sprtStatus([0, 0, 0, 0, pairs], sprt);
  assert.equal(sweep(MIN_SPRT_PAIRS - 1).verdict, null, 'too few pairs');
  assert.equal(sweep(MIN_SPRT_PAIRS).verdict, 'H1');
  // The even pairs above, fifty times over: LLR -6.9.
  assert.equal(sprtStatus([10, 20, 40, 20, 10], sprt).verdict, null);
  assert.equal(sprtStatus([500, 1000, 2000, 1000, 500], sprt).verdict, 'H0');
});

test('the seeded generator repeats for a seed and one opening serves each pair of games', () => {
  const first = createRandom(42);
  const again = createRandom(42);
  const other = createRandom(43);
  const a = Array.from({ length: 100 }, first);
  assert.deepEqual(a, Array.from({ length: 100 }, again));
  assert.notDeepEqual(a, Array.from({ length: 100 }, other));
  assert.ok(a.every((value) => value >= 0 && value < 1));
  const chosen = chooseOpenings(7, 10, 1);
  assert.equal(chosen.length, 4);
  assert.ok(chosen.every((index) => Number.isInteger(index) && index >= 0 && index < 10));
  assert.deepEqual(chosen, chooseOpenings(7, 10, 1));
  // No opening comes back before all ten have been played.
  const rounds = chooseOpenings(40, 10, 1);
  for (const round of [rounds.slice(0, 10), rounds.slice(10)]) assert.deepEqual([...round].sort((x, y) => x - y), [...Array(10).keys()]);
});

const SAMPLE_PGN = `[Result "1/2-1/2"]

1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. Ba4 Nf6 5. O-O Be7 6. Re1 b5 7. Bb3 d6 8.
c3 O-O 1/2-1/2

[Event "set up"]
[SetUp "1"]
[FEN "4k3/P7/8/8/8/8/8/4K3 w - - 0 1"]

1. a8=Q+ Kd7 *

[Result "1/2-1/2"]

1. d4 d5 2. Qxd5 1/2-1/2
`;

test('PGN text splits into games and each reads as coordinate moves from its start', () => {
  const games = splitPgnGames(SAMPLE_PGN);
  assert.equal(games.length, 3);
  const lopez = readOpening(Chess, games[0]);
  assert.equal(lopez.fen, null);
  assert.deepEqual(lopez.moves, ['e2e4', 'e7e5', 'g1f3', 'b8c6', 'f1b5', 'a7a6', 'b5a4', 'g8f6',
    'e1g1', 'f8e7', 'f1e1', 'b7b5', 'a4b3', 'd7d6', 'c2c3', 'e8g8']);
  const promotion = readOpening(Chess, games[1]);
  assert.equal(promotion.fen, '4k3/P7/8/8/8/8/8/4K3 w - - 0 1');
  assert.deepEqual(promotion.moves, ['a7a8q', 'e8d7']);
  assert.ok(readOpening(Chess, games[2]).error, 'a queen capture through a pawn must not read');
});

test('bestmove lines give the move or say why they are garbled', () => {
  assert.deepEqual(parseBestmove('bestmove e2e4'), { move: 'e2e4' });
  assert.deepEqual(parseBestmove('bestmove e7e8q ponder d1d8'), { move: 'e7e8q' });
  assert.deepEqual(parseBestmove('bestmove  e1g1 '), { move: 'e1g1' });
  for (const bad of ['bestmove', 'bestmove 0000', 'bestmove (none)', 'bestmove e7e8Q', 'bestmove e2e9', 'bestmove e2e4 e7e5', 'info bestmove e2e4']) {
    assert.ok(parseBestmove(bad).error, bad);
  }
});

test('info lines give depth and score, from the last score before the principal variation', () => {
  assert.deepEqual(parseInfo('info depth 11 seldepth 17 score cp -5 time 573 nodes 16391 nps 28605 hashfull 0 pv b8c6 d2d3'),
    { depth: 11, score: { kind: 'cp', value: -5 } });
  assert.deepEqual(parseInfo('info depth 8 seldepth 12 score cp 7 lowerbound time 554 nodes 4895 pv b8c6'),
    { depth: 8, score: { kind: 'cp', value: 7 } });
  assert.deepEqual(parseInfo('info depth 20 score mate -3 pv e1e2'), { depth: 20, score: { kind: 'mate', value: -3 } });
  assert.equal(parseInfo('info string Hash table of 2048 MB could not be allocated'), null);
  assert.equal(formatScore({ kind: 'cp', value: -5 }), '-0.05');
  assert.equal(formatScore({ kind: 'cp', value: 130 }), '+1.30');
  assert.equal(formatScore({ kind: 'mate', value: -3 }), '-M3');
});

test('game ends follow the rules, checkmate first', () => {
  const end = (fen, maxPlies = 300) => adjudicate(new Chess(fen), maxPlies);
  const foolsMate = new Chess();
  for (const move of ['f3', 'e5', 'g4', 'Qh4#']) foolsMate.move(move);
  assert.deepEqual(adjudicate(foolsMate, 300), { result: '0-1', reason: 'checkmate' });
  // Back-rank mate on the hundredth half-move: the mate stands.
  assert.deepEqual(end('R5k1/5ppp/8/8/8/8/8/6K1 b - - 100 80'), { result: '1-0', reason: 'checkmate' });
  assert.deepEqual(end('7k/5Q2/6K1/8/8/8/8/8 b - - 0 1'), { result: '1/2-1/2', reason: 'stalemate' });
  assert.deepEqual(end('8/8/4k3/8/8/3NK3/8/8 w - - 0 1'), { result: '1/2-1/2', reason: 'insufficient material' });
  assert.deepEqual(end('8/8/4k3/8/8/3RK3/8/8 w - - 100 90'), { result: '1/2-1/2', reason: 'fifty-move rule' });
  assert.equal(end('8/8/4k3/8/8/3RK3/8/8 w - - 99 90'), null);
  const shuffle = new Chess();
  for (const move of ['Nf3', 'Nf6', 'Ng1', 'Ng8', 'Nf3', 'Nf6', 'Ng1']) shuffle.move(move);
  assert.equal(adjudicate(shuffle, 300), null, 'the start position has occurred twice only');
  shuffle.move('Ng8');
  assert.deepEqual(adjudicate(shuffle, 300), { result: '1/2-1/2', reason: 'threefold repetition' });
  assert.deepEqual(adjudicate(shuffle, 8), { result: '1/2-1/2', reason: 'threefold repetition' });
  const capped = new Chess();
  for (const move of ['e4', 'e5', 'Nf3', 'Nc6']) capped.move(move);
  assert.equal(adjudicate(capped, 5), null);
  assert.deepEqual(adjudicate(capped, 4), { result: '1/2-1/2', reason: 'move cap' });
});

test('a flag loses unless the other side has only its king', () => {
  const bare = new Chess('8/8/4k3/8/8/3QK3/8/8 b - - 0 1');
  assert.deepEqual(timeForfeitResult(bare, 'w'), { result: '1/2-1/2', reason: 'time forfeit against a lone king' });
  assert.deepEqual(timeForfeitResult(bare, 'b'), { result: '1-0', reason: 'time forfeit' });
  const pawn = new Chess('8/8/4k3/4p3/8/4K3/8/8 w - - 0 1');
  assert.deepEqual(timeForfeitResult(pawn, 'w'), { result: '0-1', reason: 'time forfeit' });
});
