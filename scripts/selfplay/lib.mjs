// Pure helpers of the self-play match: option parsing, the seeded generator, opening records,
// engine-line parsing, game adjudication and the match statistics (Elo, error bars, the sequential
// test). Nothing here starts a process or touches a clock, so all of it is checked by lib.test.mjs.

// The test's normal approximation needs a variance it can trust, and a few pairs give a rough
// one (two pairs of 1.5 would give almost none and an instant verdict).
export const MIN_SPRT_PAIRS = 20;

export const USAGE = `usage: node selfplay.mjs [options]
  --games N         games to play (default 100); openings are played in pairs, colours swapped;
                    with --sprt the most games to play
  --tc B+I          clock: base seconds + increment seconds per move (default 5+0.05)
  --nodes N         no clock: every move is "go nodes N", whatever the machine's load
  --hash MB         sent to both engines as "setoption name Hash value MB" (default: engine's own)
  --engine PATH     engine A, whose results are reported (default build/tavrin of this repository)
  --engine-b PATH   engine B, its opponent (default: the same binary as A)
  --sprt E0,E1      stop as soon as a sequential test on the pairs of games accepts either
                    H0 (A - B = E0) or H1 (A - B = E1), in logistic Elo; no verdict before
                    ${MIN_SPRT_PAIRS} complete pairs
  --alpha A         false-positive rate of --sprt (default 0.05)
  --beta B          false-negative rate of --sprt (default 0.05)
  --progress N      a line with the score so far every N games (default 20; 0: none)
  --seed S          seed of the opening choice (default 1)
  --concurrency C   games played at once, each by its own pair of engines (default 1)
  --openings PATH   PGN file or folder of PGN files (default ../shared/data/openings beside the repository)
  --max-plies P     game length at which the game is drawn (default 300)
  --pgn FILE        write every game's PGN to FILE
  --tally FILES     play nothing: A's results over the games of earlier matches' PGN files
                    (comma-separated), so that a match may go on in several runs; pairs are
                    counted within each file; with --sprt the test over them
  --memory-log FILE append each engine's resident memory after every game and at the end to FILE,
                    one JSON record a line: game, instance, pid, hash, rssKb, hwmKb
  --help            this text`;

const DEFAULT_TC = '5+0.05';
const DEFAULTS = {
  games: 100,
  tc: '',
  nodes: 0,
  hash: 0,
  engine: '',
  engineB: '',
  sprt: '',
  alpha: '',
  beta: '',
  progress: 20,
  seed: 1,
  concurrency: 1,
  openings: '',
  maxPlies: 300,
  pgn: '',
  memoryLog: '',
  tally: '',
};

const INTEGER_OPTIONS = {
  '--games': 'games', '--nodes': 'nodes', '--hash': 'hash', '--seed': 'seed', '--concurrency': 'concurrency', '--max-plies': 'maxPlies',
  '--progress': 'progress',
};
const TEXT_OPTIONS = {
  '--tc': 'tc', '--engine': 'engine', '--engine-b': 'engineB', '--openings': 'openings', '--pgn': 'pgn', '--memory-log': 'memoryLog',
  '--tally': 'tally', '--sprt': 'sprt', '--alpha': 'alpha', '--beta': 'beta',
};

// Reads "--name value" and "--name=value" options into a copy of defaults: integerOptions and
// textOptions map option names to keys. Returns { options } or { error }.
export function parseOptions(argv, defaults, integerOptions, textOptions) {
  const options = { ...defaults, help: false };
  for (let i = 0; i < argv.length; i++) {
    let name = argv[i];
    let value;
    const eq = name.indexOf('=');
    if (name.startsWith('--') && eq > 0) {
      value = name.slice(eq + 1);
      name = name.slice(0, eq);
    }
    if (name === '--help' || name === '-h') {
      options.help = true;
      continue;
    }
    const key = integerOptions[name] ?? textOptions[name];
    if (!key) return { error: `unknown option ${name}` };
    if (value === undefined) {
      if (i + 1 >= argv.length) return { error: `${name} needs a value` };
      value = argv[++i];
    }
    if (integerOptions[name]) {
      if (!/^\d+$/.test(value)) return { error: `${name} needs a whole number, got "${value}"` };
      options[key] = Number(value);
    } else {
      options[key] = value;
    }
  }
  return { options };
}

// Returns { options } or { error }.
export function parseArgs(argv) {
  const parsed = parseOptions(argv, DEFAULTS, INTEGER_OPTIONS, TEXT_OPTIONS);
  if (parsed.error) return parsed;
  const options = parsed.options;
  if (options.games < 1) return { error: '--games must be at least 1' };
  if (options.concurrency < 1) return { error: '--concurrency must be at least 1' };
  if (options.maxPlies < 1) return { error: '--max-plies must be at least 1' };
  if (options.nodes > 0 && options.tc) return { error: '--nodes and --tc exclude each other' };
  if (options.nodes === 0) {
    options.tc ||= DEFAULT_TC;
    const tc = parseTimeControl(options.tc);
    if (!tc) return { error: `--tc needs seconds[+increment], got "${options.tc}"` };
    options.baseMs = tc.baseMs;
    options.incMs = tc.incMs;
  }
  const sprtText = options.sprt;
  options.sprt = null;
  if (!sprtText && (options.alpha || options.beta)) return { error: '--alpha and --beta need --sprt' };
  if (sprtText) {
    const bounds = sprtText.split(',').map(parseDecimal);
    if (bounds.length !== 2 || bounds.includes(null) || bounds[0] >= bounds[1])
      return { error: `--sprt needs two Elo bounds E0,E1 with E0 < E1, got "${sprtText}"` };
    const [alpha, beta] = [options.alpha || '0.05', options.beta || '0.05'].map(parseDecimal);
    for (const [name, rate] of [['--alpha', alpha], ['--beta', beta]])
      if (rate === null || rate <= 0 || rate >= 0.5) return { error: `${name} needs a rate between 0 and 0.5` };
    options.sprt = { elo0: bounds[0], elo1: bounds[1], alpha, beta, ...sprtBounds(alpha, beta) };
  }
  return { options };
}

// "-1.5" -> -1.5; null unless the whole text is a decimal number.
function parseDecimal(text) {
  return /^[-+]?\d+(?:\.\d+)?$/.test(text) ? Number(text) : null;
}

// "5+0.05" -> 5000 ms base, 50 ms increment; "10" -> no increment. Null when malformed or no time.
export function parseTimeControl(text) {
  const match = /^(\d+(?:\.\d+)?)(?:\+(\d+(?:\.\d+)?))?$/.exec(text);
  if (!match) return null;
  const baseMs = Math.round(Number(match[1]) * 1000);
  const incMs = Math.round(Number(match[2] ?? '0') * 1000);
  return baseMs > 0 ? { baseMs, incMs } : null;
}

// Mulberry32: small, fast and the same sequence on every platform for a given seed.
export function createRandom(seed) {
  let state = seed >>> 0;
  return () => {
    state = (state + 0x6d2b79f5) >>> 0;
    let t = state;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

// Picks one opening index per pair of games, so that a pair plays the same opening with colours
// swapped, and no opening again before all have been played: two engines at a fixed node count
// would play the same pair of games again, which tells nothing new.
export function chooseOpenings(games, openingCount, seed) {
  const random = createRandom(seed);
  const chosen = [];
  let used = new Set();
  for (let pair = 0; pair < Math.ceil(games / 2); pair++) {
    if (used.size === openingCount) used = new Set();
    let index;
    do index = Math.floor(random() * openingCount);
    while (used.has(index));
    used.add(index);
    chosen.push(index);
  }
  return chosen;
}

// Splits PGN text into one text per game: a game starts at a tag line that follows movetext.
export function splitPgnGames(text) {
  const games = [];
  let current = [];
  let inMoves = false;
  for (const rawLine of text.split(/\r?\n/)) {
    const line = rawLine.trim();
    const isTag = line.startsWith('[');
    if (isTag && inMoves) {
      games.push(current.join('\n'));
      current = [];
      inMoves = false;
    }
    if (line !== '' && !isTag) inMoves = true;
    current.push(rawLine);
  }
  if (inMoves) games.push(current.join('\n'));
  return games;
}

// Turns one PGN game into an opening: its start FEN (null for the start position) and its moves in
// coordinate text. Returns { error } when the rules library cannot read it.
export function readOpening(Chess, pgnText) {
  const game = new Chess();
  try {
    game.loadPgn(pgnText);
  } catch (error) {
    return { error: error.message };
  }
  const headers = game.getHeaders();
  const fen = headers.SetUp === '1' && headers.FEN ? headers.FEN : null;
  const history = game.history({ verbose: true });
  return { fen, moves: history.map((move) => move.lan), san: history.map((move) => move.san) };
}

// The coordinate text of a move as the protocol writes it: from, to, and a lower-case promotion piece.
export const MOVE_TEXT = /^[a-h][1-8][a-h][1-8][qrbn]?$/;

// Reads a "bestmove" line: { move } with the move text as sent, or { error } when it is garbled.
export function parseBestmove(line) {
  const words = line.trim().split(/\s+/);
  if (words[0] !== 'bestmove') return { error: 'not a bestmove line' };
  if (words.length < 2) return { error: 'bestmove without a move' };
  const move = words[1];
  if (!MOVE_TEXT.test(move)) return { error: `bestmove "${move}" is not a move in coordinate text` };
  const rest = words.slice(2);
  if (rest.length !== 0 && !(rest.length === 2 && rest[0] === 'ponder' && MOVE_TEXT.test(rest[1])))
    return { error: `bestmove line has trailing text "${rest.join(' ')}"` };
  return { move };
}

// Pulls depth and score out of an "info" line; null when it carries no score.
export function parseInfo(line) {
  const words = line.trim().split(/\s+/);
  if (words[0] !== 'info') return null;
  const info = {};
  for (let i = 1; i < words.length - 1; i++) {
    if (words[i] === 'depth') info.depth = Number(words[i + 1]);
    else if (words[i] === 'score' && (words[i + 1] === 'cp' || words[i + 1] === 'mate')) {
      info.score = { kind: words[i + 1], value: Number(words[i + 2]) };
    } else if (words[i] === 'pv') break;
  }
  return info.score ? info : null;
}

// Score for the PGN comment, from the mover's side: pawns with a sign, or +M3 / -M3 for mates.
export function formatScore(score) {
  if (!score) return '';
  if (score.kind === 'mate') return `${score.value < 0 ? '-' : '+'}M${Math.abs(score.value)}`;
  const pawns = score.value / 100;
  return `${pawns >= 0 ? '+' : ''}${pawns.toFixed(2)}`;
}

// The game's end under the rules library, checked before every move: { result, reason } or null.
export function adjudicate(game, maxPlies) {
  if (game.isCheckmate()) return { result: game.turn() === 'w' ? '0-1' : '1-0', reason: 'checkmate' };
  if (game.isStalemate()) return { result: '1/2-1/2', reason: 'stalemate' };
  if (game.isInsufficientMaterial()) return { result: '1/2-1/2', reason: 'insufficient material' };
  if (game.isThreefoldRepetition()) return { result: '1/2-1/2', reason: 'threefold repetition' };
  if (game.isDrawByFiftyMoves()) return { result: '1/2-1/2', reason: 'fifty-move rule' };
  if (game.history().length >= maxPlies) return { result: '1/2-1/2', reason: 'move cap' };
  return null;
}

// A side that oversteps its clock loses, unless the other side has nothing but its king.
export function timeForfeitResult(game, loserColour) {
  const winner = loserColour === 'w' ? 'b' : 'w';
  const winnerHasMaterial = game.board().some((row) => row.some((cell) => cell && cell.color === winner && cell.type !== 'k'));
  if (!winnerHasMaterial) return { result: '1/2-1/2', reason: 'time forfeit against a lone king' };
  return { result: loserColour === 'w' ? '0-1' : '1-0', reason: 'time forfeit' };
}

// A fault loses the game for the side that made it.
export function faultResult(faultColour) {
  return faultColour === 'w' ? '0-1' : '1-0';
}

// The match records of games from PGN texts that this script wrote, one text per file: the game's
// number (its round, counted on after the files before it, so that no pair spans two files), its
// result and A's colour.
export function recordsFromPgn(texts) {
  const records = [];
  let offset = 0;
  for (const text of texts) {
    let last = 0;
    for (const game of splitPgnGames(text)) {
      const tag = (name) => game.match(new RegExp(`^\\[${name} "([^"]*)"\\]`, 'm'))?.[1];
      const round = Number(tag('Round'));
      const result = tag('Result');
      if (!Number.isInteger(round) || round < 1 || !['1-0', '0-1', '1/2-1/2'].includes(result)) continue;
      records.push({ number: offset + round, result, white: tag('White')?.endsWith('(A)') ? 'A' : 'B' });
      last = Math.max(last, round);
    }
    offset += last + (last % 2);
  }
  return records;
}

// A's score in a game in half points: 0 lost, 1 drawn, 2 won.
export function halfPointsForA(record) {
  if (record.result === '1/2-1/2') return 1;
  return (record.result === '1-0') === (record.white === 'A') ? 2 : 0;
}

// A's results counted by category: games by half points (loss, draw, win) and complete pairs of
// games (numbers 2k+1 and 2k+2 share an opening with colours swapped) by half points of the pair,
// 0 to 4; pairCount is the number of complete pairs.
export function tallyForA(records) {
  const games = [0, 0, 0];
  const pairs = [0, 0, 0, 0, 0];
  const firstOfPair = new Map();
  for (const record of records) {
    const points = halfPointsForA(record);
    games[points]++;
    const pair = Math.floor((record.number - 1) / 2);
    if (firstOfPair.has(pair)) pairs[firstOfPair.get(pair) + points]++;
    else firstOfPair.set(pair, points);
  }
  return { games, pairs, pairCount: pairs.reduce((a, b) => a + b, 0) };
}

// Score per game of each category: of a game (loss, draw, win) and of a pair of games (0 to 2
// points, halved so that both give a score between 0 and 1).
export const GAME_SCORES = [0, 0.5, 1];
export const PAIR_SCORES = [0, 0.25, 0.5, 0.75, 1];
const Z_95 = 1.959963984540054;
// Stands in for an empty category so that the variance of a one-sided result is small but not zero.
const EMPTY_CATEGORY = 1e-3;

export function scoreFromElo(elo) {
  return 1 / (1 + 10 ** (-elo / 400));
}

// Logistic Elo of a score per game; infinite for a score of 0 or 1 and beyond.
export function eloFromScore(score) {
  if (score <= 0) return -Infinity;
  if (score >= 1) return Infinity;
  return -400 * Math.log10(1 / score - 1);
}

// Number of trials, mean score and its variance per trial from counts of categories scoring values.
function scoreMoments(counts, values) {
  const n = counts.reduce((a, b) => a + b, 0);
  const mean = counts.reduce((sum, count, i) => sum + count * values[i], 0) / n;
  const variance = counts.reduce((sum, count, i) => sum + count * (values[i] - mean) ** 2, 0) / n;
  return { n, mean, variance };
}

// Elo and its 95 % interval from counts of games (GAME_SCORES, the trinomial model) or of pairs
// (PAIR_SCORES, the pentanomial model, which keeps the correlation of two games from one opening);
// margin is half the interval's width, NaN from a single trial. Null without trials.
export function eloEstimate(counts, values) {
  const { n, mean, variance } = scoreMoments(counts, values);
  if (n === 0) return null;
  const half = n < 2 ? NaN : Z_95 * Math.sqrt(variance / n);
  const low = eloFromScore(mean - half);
  const high = eloFromScore(mean + half);
  return { n, score: mean, elo: eloFromScore(mean), low, high, margin: (high - low) / 2 };
}

// Log-likelihood ratio of H1 (A - B = elo1) against H0 (A - B = elo0) over pair counts, in the
// normal approximation of the generalised test: the pairs' mean score is normal with the sample
// variance; 0 without pairs.
export function sprtLlr(pairs, elo0, elo1) {
  if (pairs.every((count) => count === 0)) return 0;
  const { n, mean, variance } = scoreMoments(pairs.map((count) => count || EMPTY_CATEGORY), PAIR_SCORES);
  const s0 = scoreFromElo(elo0);
  const s1 = scoreFromElo(elo1);
  return (n * (s1 - s0) * (2 * mean - s0 - s1)) / (2 * variance);
}

// The LLR below lower accepts H0, above upper accepts H1.
export function sprtBounds(alpha, beta) {
  return { lower: Math.log(beta / (1 - alpha)), upper: Math.log((1 - beta) / alpha) };
}

// The LLR of the pair counts under options.sprt and the verdict: 'H1', 'H0' or null (play on).
export function sprtStatus(pairs, sprt) {
  const llr = sprtLlr(pairs, sprt.elo0, sprt.elo1);
  let verdict = null;
  if (pairs.reduce((a, b) => a + b, 0) >= MIN_SPRT_PAIRS) verdict = llr >= sprt.upper ? 'H1' : llr <= sprt.lower ? 'H0' : null;
  return { llr, verdict };
}
