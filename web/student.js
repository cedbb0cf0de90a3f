// The student's page: join (the observer's name, the design when there is
// a choice), or take up the run this browser was showing, then the run.

import { fillTexts, lang, loadConfig, t } from './texts.js';
import { measureFramePeriod } from './frames.js';
import { currentRun, forgetRun, leaveRun, markStored, newRun } from './store.js';
import { Outbox } from './outbox.js';
import { claimRun, releaseRun } from './tabguard.js';
import { Experiment } from './experiment.js';
import { installRocPage } from './roc.js';

const $ = (id) => document.getElementById(id);
const period = measureFramePeriod();
let experiment = null;
let config = null;
const outbox = new Outbox((n) => experiment?.unsent(n));

function showOnly(id) {
  for (const main of ['join', 'run', 'roc', 'message']) $(main).hidden = main !== id;
  document.body.dataset.view = id;
}

function message(text) {
  $('message-text').textContent = text;
  showOnly('message');
}

async function runRecord(record) {
  if (!(await claimRun(record.run))) {
    message(t('other_tab'));
    document.body.dataset.state = 'other-tab';
    return false;
  }
  showOnly('run');
  experiment = new Experiment({ record, period, outbox, onExit: () => leave(record.run) });
  experiment.start();
  outbox.kick();
  // What the server holds already counts as sent; without the network the
  // run goes on from the page's own copy.
  try {
    const response = await fetch(`/api/runs/${record.run}?lang=${lang()}`, { headers: { 'X-Write-Key': record.key }, cache: 'no-store' });
    if (response.ok) {
      markStored(record.run, (await response.json()).stored || []);
    } else if (response.status === 404 || response.status === 403) {
      // The server no longer knows the run (restarted without a database):
      // nothing of it can be stored, and the student starts again.
      experiment.stop();
      forgetRun(record.run);
      leave(record.run);
      $('join-error').textContent = t('run_gone');
      return true;
    }
  } catch {
    // offline: the outbox sends when it can
  }
  outbox.kick();
  return true;
}

function leave(run) {
  leaveRun(run);
  releaseRun();
  experiment = null;
  showJoin();
  outbox.kick();
}

function showJoin() {
  const asked = new URLSearchParams(location.search).get('design');
  const designs = config.designs.map((d) => d.name);
  const select = $('design');
  const choose = designs.length > 1 && !designs.includes(asked);
  select.replaceChildren(...designs.map((name) => new Option(name, name)));
  if (designs.includes(asked)) select.value = asked;
  select.hidden = !choose;
  $('design-label').hidden = !choose;
  $('join-error').textContent = '';
  $('observer').value = '';
  showOnly('join');
  document.body.dataset.state = 'join';
  $('observer').focus();
}

async function join(e) {
  e.preventDefault();
  const button = $('start');
  if (button.disabled) return;
  button.disabled = true;
  $('join-error').textContent = '';
  try {
    const response = await fetch(`/api/runs?lang=${lang()}`, {
      method: 'POST',
      headers: { 'Content-Type': 'application/json' },
      body: JSON.stringify({ observer: $('observer').value, design: $('design').value }),
    });
    const body = await response.json().catch(() => ({}));
    if (response.status === 201) {
      await runRecord(newRun(body));
    } else if (response.status === 429) {
      $('join-error').textContent = t('too_many');
    } else {
      $('join-error').textContent = body.reason || body.error || t('no_server');
    }
  } catch {
    $('join-error').textContent = t('no_server');
  } finally {
    button.disabled = false;
  }
}

async function main() {
  try {
    config = await loadConfig();
  } catch {
    message('rocrating: no server');
    return;
  }
  fillTexts();
  $('join-form').addEventListener('submit', join);
  installRocPage({ experiment: () => experiment, period, show: () => showOnly('roc') });
  const record = currentRun();
  if (!record) showJoin();
  // A second tab on a run shown elsewhere leaves the sending to that tab.
  if (!record || (await runRecord(record))) outbox.kick();
}

main();
