// What the match script and the soak share beyond the pure helpers of lib.mjs: the rules library,
// the opening book and the engine process with its line reader.

import { spawn, spawnSync } from 'node:child_process';
import { existsSync, readdirSync, readFileSync, statSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { parseInfo, readOpening, splitPgnGames } from './lib.mjs';

const SCRIPT_DIR = dirname(fileURLToPath(import.meta.url));
export const REPO_DIR = resolve(SCRIPT_DIR, '..', '..');
export const DEFAULT_OPENINGS = resolve(REPO_DIR, '..', 'shared', 'data', 'openings');
const HANDSHAKE_TIMEOUT_MS = 10000;
// Bringing in a large table can take seconds on a virtual machine whose host lends the memory
// back page by page; the engine pays for it before it answers, not during a game.
const TABLE_SETUP_TIMEOUT_MS = 60000;
const REMEMBERED_LINES = 30;

// The rules library is installed from the lock file on first use, so a fresh checkout needs no setup.
export async function loadRulesLibrary() {
  if (!existsSync(join(SCRIPT_DIR, 'node_modules', 'chess.js'))) {
    const install = spawnSync('npm', ['ci', '--silent'], { cwd: SCRIPT_DIR, stdio: 'inherit' });
    if (install.status !== 0) throw new Error('npm ci failed: the rules library chess.js could not be installed');
  }
  return (await import('chess.js')).Chess;
}

export function loadOpenings(Chess, path) {
  const files = statSync(path).isDirectory()
    ? readdirSync(path).filter((name) => name.endsWith('.pgn')).sort().map((name) => join(path, name))
    : [path];
  const games = files.flatMap((file) => splitPgnGames(readFileSync(file, 'latin1')));
  if (games.length === 0) throw new Error(`no PGN games in ${path}`);
  return { files, games, read: (index) => readOpening(Chess, games[index]) };
}

// One engine process: a line reader over its output, the last lines in and out, and one waiter at a time.
export class Engine {
  constructor(instance, path, hashMb) {
    this.instance = instance;
    this.path = path;
    this.hashMb = hashMb;
  }

  async start() {
    this.recent = [];
    this.exit = null;
    this.waiter = null;
    this.lastInfo = null;
    this.awaitingBestmove = false;
    this.strayBestmove = null;
    this.lastBestmove = null;
    let pending = '';
    this.child = spawn(this.path, [], { stdio: ['pipe', 'pipe', 'pipe'] });
    this.child.stdin.on('error', () => {}); // a write to a dead engine shows up as its exit
    this.child.stdout.setEncoding('latin1');
    this.child.stdout.on('data', (chunk) => {
      const at = process.hrtime.bigint();
      pending += chunk;
      const lines = pending.split('\n');
      pending = lines.pop();
      for (const line of lines) this.receive(line.replace(/\r$/, ''), at);
    });
    this.child.stderr.setEncoding('latin1');
    this.child.stderr.on('data', (chunk) => {
      for (const line of chunk.split('\n')) if (line !== '') this.remember(`stderr: ${line}`);
    });
    this.child.on('error', (error) => this.finish({ error: error.message }));
    this.child.on('close', (code, signal) => this.finish({ code, signal }));
    this.send('uci');
    const uciok = await this.waitFor((line) => line === 'uciok', HANDSHAKE_TIMEOUT_MS);
    if (!uciok.line) return uciok;
    if (this.hashMb > 0) this.send(`setoption name Hash value ${this.hashMb}`);
    return this.synchronise(TABLE_SETUP_TIMEOUT_MS);
  }

  synchronise(timeoutMs = HANDSHAKE_TIMEOUT_MS) {
    this.send('isready');
    return this.waitFor((line) => line === 'readyok', timeoutMs);
  }

  receive(line, at) {
    this.remember(`< ${line}`);
    if (line.startsWith('info')) this.lastInfo = parseInfo(line) ?? this.lastInfo;
    if (line.startsWith('bestmove')) {
      if (!this.awaitingBestmove) this.strayBestmove ??= line;
      this.awaitingBestmove = false;
      this.lastBestmove = line;
    }
    if (this.waiter && this.waiter.match(line)) this.settle({ line, at });
  }

  finish(exit) {
    if (this.exit) return;
    this.exit = exit;
    this.settle({ exit });
  }

  remember(text) {
    this.recent.push(text);
    if (this.recent.length > REMEMBERED_LINES) this.recent.shift();
  }

  send(line) {
    this.remember(`> ${line}`);
    if (!this.exit) this.child.stdin.write(`${line}\n`);
  }

  // Resolves with { line, at } for the first matching line, { exit } when the process ends, or
  // { timeout: true } when nothing came within timeoutMs.
  waitFor(match, timeoutMs) {
    if (this.exit) return Promise.resolve({ exit: this.exit });
    return new Promise((resolvePromise) => {
      const timer = setTimeout(() => this.settle({ timeout: true }), timeoutMs);
      this.waiter = { match, resolve: resolvePromise, timer };
    });
  }

  settle(outcome) {
    const waiter = this.waiter;
    if (!waiter) return;
    this.waiter = null;
    clearTimeout(waiter.timer);
    waiter.resolve(outcome);
  }

  // Resident and peak resident memory in KiB from the kernel's record of the process; null once it is gone.
  memory() {
    if (this.exit) return null;
    return readProcessMemory(this.child.pid);
  }

  // Time the process has spent on a processor and waiting in the run queue, in ms, from
  // /proc/<pid>/schedstat; null where the kernel does not keep it.
  schedule() {
    if (this.exit) return null;
    let fields;
    try {
      fields = readFileSync(`/proc/${this.child.pid}/schedstat`, 'latin1').trim().split(/\s+/).map(Number);
    } catch {
      return null;
    }
    return fields.length >= 2 ? { runMs: fields[0] / 1e6, waitMs: fields[1] / 1e6 } : null;
  }

  async stop() {
    if (this.exit || !this.child) return; // ended, or never started because its partner failed first
    const closed = new Promise((resolvePromise) => this.child.once('close', resolvePromise));
    this.child.kill('SIGKILL');
    await closed;
  }

  async restart() {
    await this.stop();
    return this.start();
  }
}

export function describeExit(exit) {
  if (exit.error) return `could not run: ${exit.error}`;
  return exit.signal ? `killed by signal ${exit.signal}` : `exited with code ${exit.code}`;
}

// A failed handshake or wait is a crash when the process ended and a hang when it did not answer.
export function faultFromOutcome(outcome, what) {
  if (outcome.exit) return { kind: 'crash', detail: `${what}: ${describeExit(outcome.exit)}` };
  return { kind: 'hang', detail: `${what}: no answer in time` };
}

// VmRSS and VmHWM of a process from /proc/<pid>/status, in KiB; null when it cannot be read.
export function readProcessMemory(pid) {
  let status;
  try {
    status = readFileSync(`/proc/${pid}/status`, 'latin1');
  } catch {
    return null;
  }
  const field = (name) => Number(new RegExp(`^${name}:\\s+(\\d+) kB`, 'm').exec(status)?.[1] ?? NaN);
  const rssKb = field('VmRSS');
  const hwmKb = field('VmHWM');
  return Number.isNaN(rssKb) || Number.isNaN(hwmKb) ? null : { rssKb, hwmKb };
}

// The processor time and run-queue wait between two schedule() readings; null if either is missing.
export function scheduleSince(before, after) {
  if (!before || !after) return null;
  return { runMs: after.runMs - before.runMs, waitMs: after.waitMs - before.waitMs };
}
