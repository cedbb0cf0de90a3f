// One run on the page, trial by trial as the desktop experiment window runs
// it: the GO screen with the trial's label (and the feedback on the trial
// before), the grid for the design's exposure, the instruction screen with
// the rating buttons, and after the last answer the end screen. Each answer
// is kept in the page's storage before the next screen comes.

import { t } from './texts.js';
import { Grid } from './grid.js';
import { expose } from './frames.js';
import { keepAnswer, nextTrial } from './store.js';

const $ = (id) => document.getElementById(id);
// The longest rating time an answer may carry.
const LONGEST_RATING_MS = 3600000;

function line(text, className) {
  const p = document.createElement('p');
  p.className = className;
  p.textContent = text;
  return p;
}

export class Experiment {
  // period: a promise of the frame period; outbox: the answers' sender;
  // onExit: "Exit" pressed between trials or at the end.
  constructor({ record, period, outbox, onExit }) {
    this.record = record;
    this.design = record.design;
    this.period = period;
    this.outbox = outbox;
    this.onExit = onExit;
    this.attempt = 0;
    this.grid = new Grid($('grid'));
    this.ratingButtons = this.design.ratings.map(({ code, caption }) => {
      const b = document.createElement('button');
      b.type = 'button';
      b.className = 'rating';
      b.textContent = caption;
      b.addEventListener('click', () => this.answer(code));
      return b;
    });
    $('ratings').replaceChildren(...this.ratingButtons);
    $('run').classList.toggle('long-scale', this.ratingButtons.length > 4);
    $('run').style.setProperty('--k', String(Math.max(2, this.ratingButtons.length)));
    $('instructions').replaceChildren(
      ...this.design.instructions.map((text, i) => line(text, i % 2 ? 'button-line' : 'statement')),
    );
    $('go').onclick = () => this.pressGo();
    $('exit').onclick = () => this.exit();
    this.keys = (e) => this.key(e);
    this.visibility = () => this.visibilityChanged();
    document.addEventListener('keydown', this.keys);
    document.addEventListener('visibilitychange', this.visibility);
  }

  start() {
    this.trial = nextTrial(this.record);
    if (this.trial > this.record.trials.length) {
      this.showEnd();
      return;
    }
    this.showFeedback(this.trial - 1);
    this.showGo();
  }

  stop() {
    document.removeEventListener('keydown', this.keys);
    document.removeEventListener('visibilitychange', this.visibility);
    this.grid.close();
    ++this.attempt;
  }

  setState(state) {
    this.state = state;
    document.body.dataset.state = state;
    document.body.dataset.trial = String(this.trial);
  }

  show({ screen = null, grid = false, go = false, ratings = false, exit = false }) {
    for (const id of ['go-screen', 'instructions', 'end-screen']) $(id).hidden = id !== screen;
    $('grid').classList.toggle('off', !grid);
    $('go').hidden = !go;
    $('exit').hidden = !exit;
    for (const b of this.ratingButtons) b.hidden = !ratings;
  }

  showGo() {
    const trial = this.record.trials[this.trial - 1];
    this.grid.set(trial.grid, this.design.colours);
    $('trial-label').textContent = t('trial_label', this.trial);
    this.show({ screen: 'go-screen', go: true, exit: true });
    this.setState('go');
    $('go').focus();
  }

  // The feedback on trial n, when the design gives it (none before trial 1),
  // naming the colour of the design's palette.
  showFeedback(n) {
    const shown = this.design.feedback && n >= 1;
    const kind = shown ? this.record.trials[n - 1].stimulus : '';
    $('feedback').textContent = shown ? this.design.feedback_texts[kind] : '';
  }

  async pressGo() {
    if (this.state !== 'go') return;
    this.setState('starting');
    this.notice('');
    const attempt = ++this.attempt;
    const period = await this.period;
    if (attempt !== this.attempt) return;
    this.setState('exposure');
    const timing = await expose({
      ms: this.design.exposure_ms,
      period,
      show: () => this.show({ grid: true }),
      hide: () => this.show({ screen: 'instructions', ratings: true }),
      spoiled: () => attempt !== this.attempt,
    });
    if (attempt !== this.attempt || !timing) return;
    this.timing = timing;
    this.setState('rating');
  }

  answer(code) {
    if (this.state !== 'rating') return;
    const n = this.trial;
    const { exposure_ms, asked_ms, frame_ms, gone } = this.timing;
    const rating_ms = Math.min(LONGEST_RATING_MS, Math.max(0, Math.round(performance.now() - gone)));
    this.record = keepAnswer(this.record.run, n, { response: code, exposure_ms, asked_ms, frame_ms, rating_ms });
    this.outbox.kick();
    this.trial = n + 1;
    if (this.trial > this.record.trials.length) {
      this.showEnd();
      return;
    }
    this.showFeedback(n);
    this.showGo();
  }

  showEnd() {
    this.show({ screen: 'end-screen', exit: true });
    this.setState('end');
    $('exit').focus();
    this.unsent(this.outbox.count());
  }

  // A trial during which the page was hidden does not count: it starts again
  // from GO.
  visibilityChanged() {
    if (!document.hidden || !['starting', 'exposure', 'rating'].includes(this.state)) return;
    ++this.attempt;
    document.body.dataset.spoiled = this.state;
    this.notice(t('hidden_again'));
    this.showGo();
  }

  key(e) {
    if (e.repeat || e.ctrlKey || e.altKey || e.metaKey) return;
    if (this.state === 'go' && (e.key === ' ' || e.key === 'Enter')) {
      e.preventDefault();
      this.pressGo();
    } else if (this.state === 'rating' && /^[1-9]$/.test(e.key) && Number(e.key) <= this.ratingButtons.length) {
      e.preventDefault();
      this.answer(Number(e.key));
    }
  }

  exit() {
    if (this.state !== 'go' && this.state !== 'end') return;
    this.stop();
    this.onExit();
  }

  unsent(n) {
    $('unsent').textContent = n > 0 ? t('unsent', n) : '';
    $('stored').textContent = n > 0 ? t('unsent', n) : t('all_stored');
    document.body.dataset.unsent = String(n);
  }

  notice(text) {
    $('notice').textContent = text;
  }
}
