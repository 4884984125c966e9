// A book of random ending positions, White the stronger side, as PGN set-ups for selfplay.mjs's
// --openings: a match from them shows how well each engine converts (or holds) those endings.
//   node scripts/selfplay/endings.mjs [--per N] [--seed S] [--endings KRK,KQK,...] > endings.pgn
import { Chess } from 'chess.js';
import { pathToFileURL } from 'node:url';
import { createRandom, parseOptions } from './lib.mjs';

// White's pieces in capitals, Black's in small letters, kings apart.
export const ENDINGS = { KRK: 'R', KQK: 'Q', KBNK: 'BN', KPK: 'P', KPKP: 'Pp', KPPKP: 'PPp', KQKR: 'Qr', KRKP: 'Rp', KQKP: 'Qp' };

// One legal position of the ending, or null: neither side in check, nothing to capture at once.
function tryPosition(pieces, next) {
  const board = Array(64).fill('');
  for (const piece of ['K', 'k', ...pieces]) {
    let square;
    do square = next(64);
    while (board[square] || ('Pp'.includes(piece) && (square < 8 || square >= 56)));
    board[square] = piece;
  }
  const ranks = [];
  for (let rank = 7; rank >= 0; rank--)
    ranks.push(board.slice(rank * 8, rank * 8 + 8).map((p) => p || '1').join('').replace(/1+/g, (s) => s.length));
  const side = next(2) ? 'w' : 'b';
  const fen = `${ranks.join('/')} ${side} - - 0 1`;
  let game, other;
  try {
    game = new Chess(fen);
    other = new Chess(fen.replace(` ${side} `, side === 'w' ? ' b ' : ' w '));
  } catch {
    return null; // a king left in check by the side not to move
  }
  if (game.inCheck() || other.inCheck() || game.isGameOver()) return null;
  return game.moves({ verbose: true }).some((m) => m.captured) ? null : fen;
}

// [{ ending, fen }], `per` positions of each named ending.
export function endingPositions(names, per, seed) {
  const draw = createRandom(seed);
  const next = (n) => Math.floor(draw() * n);
  const positions = [];
  for (const ending of names) {
    if (!ENDINGS[ending]) throw new Error(`unknown ending "${ending}" (known: ${Object.keys(ENDINGS).join(', ')})`);
    for (let made = 0; made < per; ) {
      const fen = tryPosition(ENDINGS[ending], next);
      if (fen) positions.push({ ending, fen }), made++;
    }
  }
  return positions;
}

if (import.meta.url === pathToFileURL(process.argv[1]).href) {
  const defaults = { per: 50, seed: 1, endings: Object.keys(ENDINGS).join(',') };
  const parsed = parseOptions(process.argv.slice(2), defaults, { '--per': 'per', '--seed': 'seed' }, { '--endings': 'endings' });
  if (parsed.error || parsed.options.help) {
    console.error(`${parsed.error ?? ''}\nusage: node endings.mjs [--per N] [--seed S] [--endings ${defaults.endings}]`.trim());
    process.exit(parsed.error ? 2 : 0);
  }
  const { per, seed, endings } = parsed.options;
  for (const { ending, fen } of endingPositions(endings.split(','), per, seed))
    process.stdout.write(`[Event "${ending}"]\n[SetUp "1"]\n[FEN "${fen}"]\n\n*\n\n`);
}
