// Pure helpers of the self-play match: option parsing, the seeded generator, opening records,
// engine-line parsing and game adjudication. Nothing here starts a process or touches a clock,
// so all of it is checked by lib.test.mjs.

export const USAGE = `usage: node selfplay.mjs [options]
  --games N         games to play (default 100); openings are played in pairs, colours swapped
  --tc B+I          clock: base seconds + increment seconds per move (default 5+0.05)
  --nodes N         no clock: every move is "go nodes N", whatever the machine's load
  --hash MB         sent to both engines as "setoption name Hash value MB" (default: engine's own)
  --engine PATH     engine A (default build/tavrin of this repository)
  --engine-b PATH   engine B, its opponent (default: the same binary as A)
  --seed S          seed of the opening choice (default 1)
  --concurrency C   games played at once, each by its own pair of engines (default 1)
  --openings PATH   PGN file or folder of PGN files (default ../shared/data/openings beside the repository)
  --max-plies P     game length at which the game is drawn (default 300)
  --pgn FILE        write every game's PGN to FILE
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
  seed: 1,
  concurrency: 1,
  openings: '',
  maxPlies: 300,
  pgn: '',
  memoryLog: '',
};

const INTEGER_OPTIONS = {
  '--games': 'games', '--nodes': 'nodes', '--hash': 'hash', '--seed': 'seed', '--concurrency': 'concurrency', '--max-plies': 'maxPlies',
};
const TEXT_OPTIONS = {
  '--tc': 'tc', '--engine': 'engine', '--engine-b': 'engineB', '--openings': 'openings', '--pgn': 'pgn', '--memory-log': 'memoryLog',
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
  return { options };
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

// Picks one opening index per pair of games, so that a pair plays the same opening with colours swapped.
export function chooseOpenings(games, openingCount, seed) {
  const random = createRandom(seed);
  const chosen = [];
  for (let pair = 0; pair < Math.ceil(games / 2); pair++) chosen.push(Math.floor(random() * openingCount));
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
