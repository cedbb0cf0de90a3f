// One tab per run: a tab that opens a run asks the others on a broadcast
// channel whether one of them shows it already; the one that does answers,
// and the asking tab then does nothing. Two tabs asking at once: the one with
// the smaller id keeps the run.

const CHANNEL = 'rocrating';
const ANSWER_WAIT_MS = 400;

const tab = Math.random().toString(36).slice(2) + Date.now().toString(36);
const channel = typeof BroadcastChannel === 'function' ? new BroadcastChannel(CHANNEL) : null;
let held = null;
let asking = null;
let refused = false;

channel?.addEventListener('message', ({ data }) => {
  if (!data || data.run === undefined) return;
  if (data.type === 'ask' && (data.run === held || (data.run === asking && tab < data.tab))) {
    channel.postMessage({ type: 'taken', run: data.run, tab });
  } else if (data.type === 'taken' && data.run === asking) {
    refused = true;
  }
});

// Resolves true when this tab may show the run, false when another shows it.
export async function claimRun(run) {
  if (!channel) return true;
  asking = run;
  refused = false;
  channel.postMessage({ type: 'ask', run, tab });
  await new Promise((resolve) => setTimeout(resolve, ANSWER_WAIT_MS));
  asking = null;
  if (refused) return false;
  held = run;
  return true;
}

export function releaseRun() {
  held = null;
}
