#!/usr/bin/env node
// A stand-in engine for the match script's and the soak's tests: it answers UCI with the first legal
// move (for "go infinite" only when "stop" comes), and misbehaves on its third search in the way
// FAKE_ENGINE_FAULT asks (illegal, garbled, crash, hang, slow,
// stray, early: an infinite search that answers before "stop"). FAKE_ENGINE_FAULT_SIDE limits
// the fault to the instance playing that colour.
import { createInterface } from 'node:readline';
import { Chess } from 'chess.js';

const fault = process.env.FAKE_ENGINE_FAULT ?? '';
const faultSide = process.env.FAKE_ENGINE_FAULT_SIDE ?? '';
let game = new Chess();
let searches = 0;
let stopped = null; // the answer an infinite search owes when "stop" comes

function startPosition(words) {
  const movesAt = words.indexOf('moves');
  const end = movesAt < 0 ? words.length : movesAt;
  game = words[1] === 'fen' ? new Chess(words.slice(2, end).join(' ')) : new Chess();
  if (movesAt >= 0) for (const move of words.slice(movesAt + 1)) game.move(move);
}

function search(words) {
  searches++;
  const move = game.moves({ verbose: true })[0].lan;
  const misbehave = searches === 3 && (faultSide === '' || faultSide === game.turn());
  if (words[1] === 'infinite' && !(misbehave && fault === 'early')) stopped = () => answer(words, move, misbehave);
  else answer(words, move, misbehave);
}

function answer(words, move, misbehave) {
  if (!misbehave || fault === '' || fault === 'early') return console.log(`info depth 1 score cp 0 pv ${move}\nbestmove ${move}`);
  if (fault === 'illegal') return console.log('bestmove a1a1');
  if (fault === 'garbled') return console.log('bestmove');
  if (fault === 'crash') process.exit(3);
  if (fault === 'hang') return;
  if (fault === 'stray') return console.log(`bestmove ${move}\nbestmove ${move}`);
  if (fault === 'slow') {
    const clock = Number(words[words.indexOf(game.turn() === 'w' ? 'wtime' : 'btime') + 1]);
    setTimeout(() => console.log(`bestmove ${move}`), clock + 300);
  }
}

createInterface({ input: process.stdin }).on('line', (line) => {
  const words = line.trim().split(/\s+/);
  if (words[0] === 'uci') console.log('id name Fake\nuciok');
  else if (words[0] === 'isready') console.log('readyok');
  else if (words[0] === 'position') startPosition(words);
  else if (words[0] === 'go') search(words);
  else if (words[0] === 'stop' && stopped) {
    stopped();
    stopped = null;
  }
  else if (words[0] === 'quit') process.exit(0);
});
