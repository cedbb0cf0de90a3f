// The teacher's page: the students' link as a QR code for the projector, the
// runs as the server knows them, refreshed, the class data to download, and
// the class view, live (classview.js).

import { ClassView } from './classview.js';
import { fillTexts, loadConfig, t } from './texts.js';

const $ = (id) => document.getElementById(id);
const REFRESH_MS = 3000;
const token = new URLSearchParams(location.search).get('token') || '';
const withToken = (path) => `${path}?token=${encodeURIComponent(token)}`;

function cell(text, number = false) {
  const td = document.createElement('td');
  td.textContent = text;
  if (number) td.className = 'number';
  return td;
}

function lastAnswer(iso) {
  if (!iso) return '—';
  const when = new Date(iso);
  return Number.isNaN(when.getTime()) ? iso : when.toLocaleTimeString(document.documentElement.lang);
}

async function refresh() {
  try {
    const response = await fetch(withToken('/api/teacher/runs'), { cache: 'no-store' });
    if (!response.ok) throw new Error(String(response.status));
    const { students_url: url, runs } = await response.json();
    $('students-url').textContent = url;
    $('runs').replaceChildren(
      ...runs.map((r) => {
        const tr = document.createElement('tr');
        tr.append(
          cell(r.observer),
          cell(r.design),
          cell(`${r.answered} / ${r.total}`, true),
          cell(lastAnswer(r.last_answer)),
          cell(String(r.unsent), true),
        );
        return tr;
      }),
    );
    $('no-runs').hidden = runs.length > 0;
    $('teacher-error').textContent = '';
  } catch {
    $('teacher-error').textContent = t('no_server');
  }
  setTimeout(refresh, REFRESH_MS);
}

async function main() {
  await loadConfig().catch(() => {});
  fillTexts();
  document.title = t('teacher_title');
  $('qr').src = withToken('/api/teacher/qr.svg');
  $('qr').alt = t('students_link');
  $('trials-csv').href = withToken('/api/teacher/trials.csv');
  $('sessions-csv').href = withToken('/api/teacher/sessions.csv');
  refresh();
  new ClassView(withToken).follow();
}

main();
