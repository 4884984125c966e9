// The ending book: legal, quiet positions of exactly the named material.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { Chess } from 'chess.js';
import { ENDINGS, endingPositions } from '../endings.mjs';

test('ending positions are legal, quiet and of the named material, the same for a seed', () => {
  const positions = endingPositions(Object.keys(ENDINGS), 20, 7);
  assert.equal(positions.length, 20 * Object.keys(ENDINGS).length);
  for (const { ending, fen } of positions) {
    const game = new Chess(fen);
    assert.ok(!game.inCheck() && !game.moves({ verbose: true }).some((m) => m.captured), fen);
    const material = fen.split(' ')[0].replace(/[^a-zA-Z]/g, '').replace(/[Kk]/g, '');
    assert.equal([...material].sort().join(''), [...ENDINGS[ending]].sort().join(''), fen);
  }
  assert.deepEqual(endingPositions(['KRK'], 5, 7), positions.slice(0, 5));
});
