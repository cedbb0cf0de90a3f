// The ROC window on the student's page, opened from the end screen ("Disp.
// Data" or Enter): the plot of the run's recorded answers with the model
// fitted by eye through press-and-hold step buttons, as the desktop window
// steps it, and beside it the maximum-likelihood fit the server makes of the
// run with the live deviance G^2 of the fit by eye against it, as the
// analysis window shows it.

import { t } from './texts.js';
import { RocPlot, MODEL_COLOUR, pointColour } from './rocplot.js';
import { fixed, formatParameter, negLogLik, whyNoLikelihood } from './binormal.js';

const $ = (id) => document.getElementById(id);

// The desktop's steps: d and the criteria by 0.02 (d not below 0.03), R by a
// factor of 1.02, each held button again every 200 ms.
const STEP = 0.02;
const SMALLEST_STEP_DOWN = 0.03;
const RATIO = 1.02;
const REPEAT_MS = 200;
const RETRY_MS = 2000;

function element(tag, className, text) {
  const e = document.createElement(tag);
  if (className) e.className = className;
  if (text !== undefined) e.textContent = text;
  return e;
}

// The rows from the top: d, the criteria from the highest down, R; each with
// its value's getter and setter, its prefixes (a reset writes "   R = ", a
// step "  R = "), its colour and its two steps.
function parameterRows(K) {
  const rows = [{
    get: (m) => m.d, set: (m, v) => { m.d = v; }, start: 1, reset: '   d = ', prefix: '   d = ',
    colour: MODEL_COLOUR, up: (v) => v + STEP, down: (v) => (v < SMALLEST_STEP_DOWN ? v : v - STEP),
  }];
  for (let j = K - 1; j >= 1; --j) {
    rows.push({
      get: (m) => m.criteria[j - 1], set: (m, v) => { m.criteria[j - 1] = v; }, start: j - 1,
      reset: `  c${j} = `, prefix: `  c${j} = `, colour: pointColour(j), up: (v) => v + STEP, down: (v) => v - STEP,
    });
  }
  rows.push({
    get: (m) => m.R, set: (m, v) => { m.R = v; }, start: 1, reset: '   R = ', prefix: '  R = ',
    colour: '#000000', up: (v) => v * RATIO, down: (v) => v / RATIO,
  });
  return rows;
}

// The counts of a record's answered recorded trials, by kind and response.
function recordCounts(record) {
  const K = record.design.ratings.length;
  const counts = { noise: new Array(K).fill(0), signal: new Array(K).fill(0) };
  for (const trial of record.trials) {
    const answer = record.answers[trial.trial];
    if (trial.phase === 'recorded' && answer) counts[trial.stimulus][answer.response - 1] += 1;
  }
  return counts;
}

function download(blob, name) {
  const a = element('a');
  a.href = URL.createObjectURL(blob);
  a.download = name;
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(a.href), 60000);
}

// A held step button: the first step at the press, then one every REPEAT_MS
// while held, counted in the page's frames from their stamps (a late frame
// makes up the steps it owes). What the last hold took is left in the
// body's data for a look from outside: its frames and steps.
class Hold {
  constructor(period, step) {
    this.every = Math.max(1, Math.round(REPEAT_MS / period));
    this.period = period;
    this.step = step;
    this.serial = 0;
    document.body.dataset.repeatFrames = String(this.every);
  }

  start(kind) {
    this.stop();
    const serial = ++this.serial;
    let first = null;
    let steps = 1;
    let frames = 0;
    this.step(kind, 1);
    const tick = (stamp) => {
      if (serial !== this.serial) return;
      if (first === null) first = stamp;
      frames = Math.round((stamp - first) / this.period);
      const owed = 1 + Math.floor(frames / this.every) - steps;
      if (owed > 0) {
        steps += owed;
        this.step(kind, owed);
      }
      document.body.dataset.holdFrames = String(frames);
      document.body.dataset.holdSteps = String(steps);
      requestAnimationFrame(tick);
    };
    document.body.dataset.holding = 'yes';
    document.body.dataset.holdFrames = '0';
    document.body.dataset.holdSteps = '1';
    requestAnimationFrame(tick);
  }

  stop() {
    ++this.serial;
    document.body.dataset.holding = 'no';
  }
}

export class RocPage {
  constructor({ record, period, onExit }) {
    this.record = record;
    this.K = record.design.ratings.length;
    this.counts = recordCounts(record);
    this.fit = null;
    this.rows = parameterRows(this.K);
    this.m = { d: 0, R: 0, criteria: new Array(this.K - 1).fill(0) };
    this.plot = new RocPlot($('roc-canvas'));
    $('roc').classList.toggle('long-scale', this.K > 4);
    this.hold = new Hold(period, (kind, n) => this.stepped(kind, n));
    this.buildRows();
    this.buildFitTable();
    this.reset();
    $('roc-exit').onclick = onExit;
    $('roc-save-plot').onclick = () => this.savePlot();
    $('roc-save-rows').onclick = () => this.saveRows();
    $('ml-apply').onclick = () => this.apply();
    $('ml-overlay').onchange = () => this.redraw();
    this.resized = new ResizeObserver(() => this.layOut());
    this.resized.observe($('roc-plot'));
    // The fit waits for every answer to be stored.
    this.unsentWatch = new MutationObserver(() => this.fetchFit());
    this.unsentWatch.observe(document.body, { attributes: true, attributeFilter: ['data-unsent'] });
  }

  close() {
    this.hold.stop();
    this.resized.disconnect();
    this.unsentWatch.disconnect();
    clearTimeout(this.retry);
    this.closed = true;
  }

  buildRows() {
    this.texts = [];
    const rows = this.rows.map((row, r) => {
      const line = element('div', 'roc-row');
      const value = element('output', 'roc-value');
      value.style.color = row.colour;
      this.texts.push(value);
      line.append(value);
      [['step_up', 2 * r + 1], ['step_down', 2 * r + 2]].forEach(([key, kind]) => {
        const b = element('button', 'roc-step', t(key));
        b.type = 'button';
        b.dataset.kind = String(kind);
        this.bindStep(b, kind);
        line.append(b);
      });
      return line;
    });
    $('roc-rows').replaceChildren(...rows);
  }

  // Mouse, pen and a held finger through pointer events (captured, so that
  // the release comes here wherever it happens); Space or Enter held on a
  // focused button.
  bindStep(button, kind) {
    button.addEventListener('pointerdown', (e) => {
      e.preventDefault();
      button.setPointerCapture(e.pointerId);
      button.focus();
      this.hold.start(kind);
    });
    for (const name of ['pointerup', 'pointercancel', 'lostpointercapture', 'blur']) {
      button.addEventListener(name, () => this.hold.stop());
    }
    button.addEventListener('contextmenu', (e) => e.preventDefault());
    const held = (e) => e.key === ' ' || e.key === 'Enter';
    button.addEventListener('keydown', (e) => {
      if (!held(e)) return;
      e.preventDefault();
      if (!e.repeat) this.hold.start(kind);
    });
    button.addEventListener('keyup', (e) => {
      if (held(e)) this.hold.stop();
    });
  }

  // Fit-by-eye rows of the estimates' table, and what follows from the fit.
  buildFitTable() {
    const names = ['d', 'R', ...Array.from({ length: this.K - 1 }, (_, j) => `c${j + 1}`), '−log L', 'ml_deviance'];
    this.cells = names.map((name) => {
      const tr = element('tr');
      tr.append(element('th', '', name === 'ml_deviance' ? t(name) : name));
      const cells = [0, 1, 2].map(() => element('td'));
      tr.append(...cells);
      if (name === 'ml_deviance') tr.className = 'ml-deviance';
      $('ml-rows').append(tr);
      return cells;
    });
    const derived = [['a = d/R', 'a'], ['b = 1/R', 'b'], ['Az', 'az'], [t('ml_az_se'), 'az_se'], ['d_a', 'd_a'],
      ['χ²', 'chi2'], [t('ml_df'), 'df'], ['p', 'p']];
    this.derived = derived.map(([label, field]) => {
      const cell = element('span', 'ml-value');
      $('ml-derived').append(element('span', 'ml-label', label), cell);
      return [field, cell];
    });
  }

  reset() {
    this.rows.forEach((row, r) => {
      row.set(this.m, row.start);
      this.texts[r].textContent = row.reset + formatParameter(row.start);
    });
  }

  show() {
    document.body.dataset.state = 'roc';
    this.layOut();
    this.showFit();
    this.fetchFit();
  }

  layOut() {
    const side = Math.floor($('roc-plot').getBoundingClientRect().width);
    if (side <= 0) return;
    this.plot.resize(side);
    this.redraw();
  }

  redraw() {
    const overlay = $('ml-overlay').checked ? this.fit : null;
    this.plot.draw(this.counts, this.m, overlay);
  }

  // n steps of the kind: 2r + 1 steps row r up, 2r + 2 down.
  stepped(kind, n) {
    const r = Math.floor((kind - 1) / 2);
    const row = this.rows[r];
    const step = kind % 2 ? row.up : row.down;
    for (let i = 0; i < n; ++i) {
      const value = row.get(this.m);
      const next = step(value);
      if (next === value) continue;
      row.set(this.m, next);
      this.texts[r].textContent = row.prefix + formatParameter(next);
    }
    this.redraw();
    this.showByEye();
  }

  apply() {
    if (!this.fit) return;
    this.m = { d: this.fit.d, R: this.fit.R, criteria: [...this.fit.criteria] };
    this.rows.forEach((row, r) => {
      this.texts[r].textContent = row.prefix + formatParameter(row.get(this.m));
    });
    this.redraw();
    this.showByEye();
  }

  async fetchFit() {
    if (this.closed || this.fit || this.fetching || document.body.dataset.state !== 'roc') return;
    const unsent = Number(document.body.dataset.unsent || 0);
    if (unsent > 0) {
      this.message(t('roc_waiting', unsent), 'waiting');
      return;
    }
    this.fetching = true;
    this.message(t('roc_fitting'), 'fitting');
    try {
      const response = await fetch(`/api/runs/${this.record.run}/fit`, {
        headers: { 'X-Write-Key': this.record.key }, cache: 'no-store',
      });
      if (!response.ok) throw new Error(`fit ${response.status}`);
      this.took(await response.json());
    } catch {
      this.message(t('roc_no_fit'), 'retrying');
      this.retry = setTimeout(() => this.fetchFit(), RETRY_MS);
    } finally {
      this.fetching = false;
    }
  }

  took(body) {
    this.counts = body.counts;
    this.files = { plot: body.plot_file, rows: body.rows_file };
    this.fit = body.fit;
    this.fitNll = this.fit ? negLogLik(this.counts, this.fit) : null;
    const trials = body.recorded;
    if (trials === 0) this.message(t('ml_no_trials'), 'none');
    else if (!this.fit) this.message(t('ml_degenerate', body.why ? t(body.why) : ''), 'none');
    else this.message('', 'ok');
    this.showFit();
    this.redraw();
  }

  message(text, state) {
    $('ml-message').textContent = text;
    $('ml-message').hidden = !text;
    document.body.dataset.rocFit = state;
  }

  showFit() {
    const f = this.fit;
    const values = f ? [f.d, f.R, ...f.criteria, f.neg_loglik, 0] : [];
    const errors = f ? [f.d_se, f.R_se, ...f.criteria_se] : [];
    this.cells.forEach(([estimate, error], i) => {
      estimate.textContent = f ? fixed(values[i]) : '—';
      error.textContent = i < errors.length ? fixed(errors[i]) : '—';
    });
    for (const [field, cell] of this.derived) {
      const v = f ? f[field] : null;
      if (field === 'df') cell.textContent = f ? String(v) : '—';
      else if (field === 'p') cell.textContent = v === null || v === undefined ? '—' : v < 0.0001 ? '< 0.0001' : fixed(v);
      else cell.textContent = fixed(v);
    }
    $('ml-apply').disabled = !f;
    this.showByEye();
  }

  // The by-eye column, -log L and G^2 of the fit by eye, at every step.
  showByEye() {
    const m = this.m;
    const nll = negLogLik(this.counts, m);
    const g2 = nll !== null && this.fitNll !== null && this.fit ? 2 * (nll - this.fitNll) : null;
    const values = [m.d, m.R, ...m.criteria, nll, g2];
    this.cells.forEach(([, , byEye], i) => {
      byEye.textContent = fixed(values[i]);
    });
    const note = nll === null ? t('ml_by_eye_nll') + t(whyNoLikelihood(m)) + t('ml_full_stop') : '';
    $('ml-note').textContent = note;
    $('ml-note').hidden = !note;
    document.body.dataset.g2 = g2 === null ? '' : String(g2);
    document.body.dataset.params = JSON.stringify(m);
  }

  savePlot() {
    this.plot.canvas.toBlob((blob) => download(blob, this.files?.plot || 'roc-plot.png'), 'image/png');
  }

  async saveRows() {
    try {
      const response = await fetch(`/api/runs/${this.record.run}/rows.csv`, {
        headers: { 'X-Write-Key': this.record.key }, cache: 'no-store',
      });
      if (!response.ok) throw new Error(`rows ${response.status}`);
      download(await response.blob(), this.files?.rows || 'results.csv');
    } catch {
      this.message(t('roc_no_server'), document.body.dataset.rocFit);
    }
  }
}

// The end screen's way in: its "Disp. Data" button, or Enter while it shows.
// experiment(): the run on the page; show(): the ROC view in place of the run.
export function installRocPage({ experiment, period, show }) {
  let page = null;
  const open = async () => {
    const run = experiment();
    if (!run || document.body.dataset.state !== 'end') return;
    page?.close();
    page = new RocPage({ record: run.record, period: await period, onExit: () => { page?.close(); page = null; run.exit(); } });
    show();
    page.show();
  };
  $('disp-data').addEventListener('click', open);
  document.addEventListener('keydown', (e) => {
    if (e.key !== 'Enter' || e.repeat || document.body.dataset.state !== 'end') return;
    if (document.activeElement === $('disp-data')) return;
    e.preventDefault();
    open();
  }, true);
}
