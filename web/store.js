// The page's own copy of its runs, in localStorage: each answer is kept here
// before anything else happens, so that a reload, a closed tab or a lost
// network loses nothing. One record per run:
//   {run, key, design, trials, answers: {N: body}, acked: [N...], left}
// and the run being shown under `rocrating.current`.

const PREFIX = 'rocrating.run.';
const CURRENT = 'rocrating.current';

// Where the browser keeps nothing (storage switched off, or full), the page
// goes on with a copy in memory: the run is not lost while the tab is open.
class MemoryStorage {
  constructor() { this.items = new Map(); }
  get length() { return this.items.size; }
  key(i) { return [...this.items.keys()][i] ?? null; }
  getItem(name) { return this.items.has(name) ? this.items.get(name) : null; }
  setItem(name, value) { this.items.set(name, String(value)); }
  removeItem(name) { this.items.delete(name); }
}

function browserStorage() {
  try {
    const probe = 'rocrating.probe';
    window.localStorage.setItem(probe, probe);
    window.localStorage.removeItem(probe);
    return window.localStorage;
  } catch {
    return new MemoryStorage();
  }
}

let localStorage = browserStorage();

// A write the browser refuses moves everything kept into memory.
function keep(name, value) {
  try {
    localStorage.setItem(name, value);
  } catch {
    const memory = new MemoryStorage();
    for (let i = 0; i < localStorage.length; ++i) {
      const k = localStorage.key(i);
      memory.setItem(k, localStorage.getItem(k));
    }
    localStorage = memory;
    localStorage.setItem(name, value);
  }
}

function read(id) {
  try {
    const text = localStorage.getItem(PREFIX + id);
    return text ? JSON.parse(text) : null;
  } catch {
    return null;
  }
}

function write(record) {
  keep(PREFIX + record.run, JSON.stringify(record));
}

export function newRun(created) {
  const record = { ...created, answers: {}, acked: [], left: false };
  write(record);
  keep(CURRENT, record.run);
  return record;
}

export function currentRun() {
  const id = localStorage.getItem(CURRENT);
  return id ? read(id) : null;
}

// The answer to trial n, kept before the page moves on.
export function keepAnswer(id, n, body) {
  const record = read(id);
  record.answers[n] = body;
  write(record);
  return record;
}

// Trials the server holds: acknowledged, and answered as far as this page
// is concerned.
export function markStored(id, trials) {
  const record = read(id);
  if (!record) return null;
  const acked = new Set(record.acked);
  for (const n of trials) acked.add(n);
  record.acked = [...acked].sort((a, b) => a - b);
  if (record.left && Object.keys(record.answers).every((n) => acked.has(Number(n)))) {
    localStorage.removeItem(PREFIX + id);
    return null;
  }
  write(record);
  return record;
}

// The run is no longer shown; its record stays until every answer is stored.
export function leaveRun(id) {
  if (localStorage.getItem(CURRENT) === id) localStorage.removeItem(CURRENT);
  const record = read(id);
  if (!record) return;
  record.left = true;
  write(record);
  markStored(id, []);
}

// A run the server does not know: nothing of it can be stored any more.
export function forgetRun(id) {
  if (localStorage.getItem(CURRENT) === id) localStorage.removeItem(CURRENT);
  localStorage.removeItem(PREFIX + id);
}

// The next trial to show: the one after the last answered or stored.
export function nextTrial(record) {
  let last = 0;
  for (const n of Object.keys(record.answers)) last = Math.max(last, Number(n));
  for (const n of record.acked) last = Math.max(last, n);
  return last + 1;
}

// Answers not yet acknowledged, of every run kept, each run in trial order.
export function pendingAnswers() {
  const pending = [];
  for (let i = 0; i < localStorage.length; ++i) {
    const name = localStorage.key(i);
    if (!name.startsWith(PREFIX)) continue;
    const record = read(name.slice(PREFIX.length));
    if (!record) continue;
    const acked = new Set(record.acked);
    const trials = Object.keys(record.answers).map(Number).filter((n) => !acked.has(n)).sort((a, b) => a - b);
    for (const n of trials) pending.push({ run: record.run, key: record.key, trial: n, body: record.answers[n] });
  }
  return pending;
}
