// Sends the kept answers to the server, one at a time and in order, each
// under its key (run, trial), so that a repeated send is harmless: the
// server acknowledges an answer it holds already. A failed send is tried
// again after a growing pause, and the sending never gives up.

import { markStored, pendingAnswers } from './store.js';

const FIRST_PAUSE_MS = 500;
const LONGEST_PAUSE_MS = 10000;
const REQUEST_LIMIT_MS = 15000;

async function request(url, options) {
  const abort = new AbortController();
  const timer = setTimeout(() => abort.abort(), REQUEST_LIMIT_MS);
  try {
    return await fetch(url, { ...options, signal: abort.signal, cache: 'no-store' });
  } finally {
    clearTimeout(timer);
  }
}

export class Outbox {
  // onCount(n) hears the number of answers not yet stored whenever it changes.
  constructor(onCount) {
    this.onCount = onCount;
    this.running = false;
    this.wake = null;
    this.reported = new Map();  // run -> its key, for the runs sent to since the last report
    addEventListener('online', () => this.kick());
  }

  count() {
    return pendingAnswers().length;
  }

  // A new answer was kept, or the network came back: send now.
  kick() {
    this.onCount(this.count());
    if (this.wake) this.wake();
    if (!this.running) this.run();
  }

  async run() {
    this.running = true;
    let pause = FIRST_PAUSE_MS;
    for (;;) {
      const pending = pendingAnswers();
      this.onCount(pending.length);
      if (pending.length === 0) break;
      const next = pending[0];
      if (await this.send(next, pending.filter((p) => p.run === next.run).length)) {
        pause = FIRST_PAUSE_MS;
        continue;
      }
      await new Promise((resolve) => {
        this.wake = resolve;
        setTimeout(resolve, pause * (0.75 + Math.random() / 2));
      });
      this.wake = null;
      pause = Math.min(2 * pause, LONGEST_PAUSE_MS);
    }
    this.running = false;
    this.reportAllStored();
  }

  // True when the server holds the answer now (201, 200) or holds another
  // one under its key (409): either way this page has nothing more to send.
  async send({ run, key, trial, body }, unsent) {
    try {
      const response = await request(`/api/runs/${run}/answers/${trial}`, {
        method: 'PUT',
        headers: { 'Content-Type': 'application/json', 'X-Write-Key': key },
        body: JSON.stringify({ ...body, unsent }),
      });
      if (response.ok || response.status === 409) {
        this.reported.set(run, key);
        markStored(run, [trial]);
        return true;
      }
    } catch {
      // offline, refused or too slow: tried again after the pause
    }
    return false;
  }

  // The teacher's page shows each run's count as the page last reported it,
  // the answer sent included: once everything is stored, say so.
  reportAllStored() {
    const runs = [...this.reported];
    this.reported.clear();
    for (const [run, key] of runs) {
      request(`/api/runs/${run}/status`, {
        method: 'POST',
        headers: { 'Content-Type': 'application/json', 'X-Write-Key': key },
        body: JSON.stringify({ unsent: 0 }),
      }).catch(() => {});
    }
  }
}
