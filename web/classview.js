// The teacher's class view: the sessions of the runs with their fits as the
// class window shows them (sortable), the class plot, the designs' summary
// and the comparison of two designs. The server pushes what changed since the
// version the page has (server-sent events).

import { ClassPlot } from './classplot.js';
import { lang, t } from './texts.js';

const $ = (id) => document.getElementById(id);

function element(tag, text, className) {
  const el = document.createElement(tag);
  if (text !== undefined) el.textContent = text;
  if (className) el.className = className;
  return el;
}

// Sort keys: numbers before texts, both ascending.
function compareKeys(a, b) {
  if (typeof a === 'number' && typeof b === 'number') return a - b;
  if (typeof a === 'number') return -1;
  if (typeof b === 'number') return 1;
  return String(a).localeCompare(String(b));
}

export class ClassView {
  constructor(withToken) {
    this.withToken = withToken;
    this.version = 0;
    this.sessions = [];
    this.rows = new Map(); // session index -> its row in the table
    this.designs = [];
    this.sort = { column: 0, up: true };
    this.kind = 'roc';
    this.plot = new ClassPlot($('class-plot'));
    for (const radio of document.querySelectorAll('input[name="plot-kind"]')) {
      radio.addEventListener('change', () => {
        this.kind = radio.value;
        this.drawPlot();
      });
    }
    for (const id of ['compare-first', 'compare-second']) $(id).addEventListener('change', () => this.compare());
    // The summaries and the comparison over the incomplete runs too: the
    // class again from the start, with them.
    $('with-incomplete').addEventListener('change', () => {
      this.version = 0;
      this.sessions = [];
      this.rows = new Map();
      this.showLinks();
      this.follow();
    });
    this.showLinks();
    new ResizeObserver(() => this.drawPlot()).observe($('class-plot-box'));
  }

  // The server's stream of changes: the first event brings everything, each
  // later one what changed; after a break the browser comes back by itself
  // with the last event's id, and the server sends what it missed.
  follow() {
    if (this.events) this.events.close();
    const events = new EventSource(`${this.withToken('/api/teacher/events')}&lang=${lang()}${this.incomplete()}`);
    this.events = events;
    events.onmessage = (e) => {
      this.apply(JSON.parse(e.data));
      $('class-error').textContent = '';
    };
    events.onerror = () => {
      $('class-error').textContent = t('no_server');
    };
  }

  incomplete() {
    return $('with-incomplete').checked ? '&incomplete=1' : '';
  }

  showLinks() {
    $('summary-csv').href = this.withToken('/api/teacher/class-summary.csv') + this.incomplete();
    $('report-pdf').href = `${this.withToken('/api/teacher/class-report.pdf')}&lang=${lang()}${this.incomplete()}`;
  }

  apply(changes) {
    const first = !this.headings;
    this.headings = changes.headings;
    this.tips = changes.tips;
    for (const s of changes.sessions) this.sessions[s.index] = s;
    this.designs = changes.designs;
    this.version = changes.version;
    // The plot first: its size is read from the layout, which replacing the
    // tables would otherwise make the browser compute again at once.
    this.drawPlot();
    if (first) this.showHeadings();
    this.showSessions();
    this.showDesigns(changes.design_headings);
    this.showChoices();
    document.body.dataset.classVersion = String(this.version);
  }

  showHeadings() {
    const row = element('tr');
    this.headings.forEach((text, i) => {
      const th = element('th', text);
      if (this.tips[i]) th.title = this.tips[i];
      th.tabIndex = 0;
      const sortBy = () => {
        this.sort = { column: i, up: this.sort.column === i ? !this.sort.up : true };
        this.showSessions();
      };
      th.addEventListener('click', sortBy);
      th.addEventListener('keydown', (e) => e.key === 'Enter' && sortBy());
      row.append(th);
    });
    $('class-head').replaceChildren(row);
  }

  showSessions() {
    const { column, up } = this.sort;
    const shown = this.sessions.filter(Boolean).sort((a, b) => {
      const c = compareKeys(a.keys[column], b.keys[column]);
      return (up ? c : -c) || a.index - b.index;
    });
    const colours = this.colours();
    // A session's row is made again only when the session or its colour
    // changed, and the rows are put in place only when the order did: the
    // browser then lays out what changed, not every row of the class.
    const rows = shown.map((s) => {
      const made = this.rows.get(s.index);
      const colour = colours[s.design] || '';
      if (made && made.version === s.version && made.colour === colour) return made.tr;
      const tr = element('tr');
      s.cells.forEach((text, i) => {
        const td = element('td', text, typeof s.keys[i] === 'number' && i > 1 ? 'number' : '');
        if (i === 1) td.style.color = colour;
        tr.append(td);
      });
      if (made) made.tr.replaceWith(tr);
      this.rows.set(s.index, { tr, version: s.version, colour });
      return tr;
    });
    const body = $('class-body');
    if (rows.length !== body.children.length || rows.some((tr, i) => body.children[i] !== tr)) body.replaceChildren(...rows);
    [...$('class-head').querySelectorAll('th')].forEach((th, i) => {
      th.dataset.sorted = i === column ? (up ? 'up' : 'down') : '';
    });
  }

  showDesigns(headings) {
    $('design-head').replaceChildren(element('tr'));
    $('design-head').firstChild.append(...headings.map((h) => element('th', h)));
    $('design-body').replaceChildren(
      ...this.designs.map((d) => {
        const tr = element('tr');
        d.row.forEach((text, i) => {
          const td = element('td', text, i ? 'number' : '');
          if (i === 0) td.style.color = d.colour;
          tr.append(td);
        });
        return tr;
      }),
    );
  }

  colours() {
    return Object.fromEntries(this.designs.map((d) => [d.name, d.colour]));
  }

  drawPlot() {
    const box = $('class-plot-box');
    const side = Math.floor(Math.min(box.clientWidth, 640));
    if (side <= 0) return;
    this.plot.resize(side);
    this.plot.draw({ sessions: this.sessions.filter(Boolean), designs: this.designs, colours: this.colours() }, this.kind);
    document.body.dataset.plotPoints = String(this.plot.drawn);
  }

  // The two selections keep their designs while they exist; the second
  // starts on another design than the first.
  showChoices() {
    const names = this.designs.map((d) => d.name);
    const enough = names.length >= 2;
    $('compare-choice').hidden = !enough;
    $('compare-note').textContent = enough ? '' : t('class_compare_need_two');
    if (!enough) {
      $('compare-lines').replaceChildren();
      return;
    }
    const fill = (select, fallback) => {
      const kept = names.includes(select.value) ? select.value : fallback;
      select.replaceChildren(...names.map((n) => element('option', n)));
      select.value = kept;
    };
    fill($('compare-first'), names[0]);
    fill($('compare-second'), names.find((n) => n !== $('compare-first').value));
    this.compare();
  }

  async compare() {
    const first = $('compare-first').value, second = $('compare-second').value;
    if (!first || !second || first === second) {
      $('compare-lines').replaceChildren();
      $('compare-note').textContent = t('class_compare_pick');
      return;
    }
    $('compare-note').textContent = '';
    const q = `&first=${encodeURIComponent(first)}&second=${encodeURIComponent(second)}&lang=${lang()}${this.incomplete()}`;
    try {
      const response = await fetch(this.withToken('/api/teacher/compare') + q, { cache: 'no-store' });
      if (!response.ok) throw new Error(String(response.status));
      const { lines } = await response.json();
      $('compare-lines').replaceChildren(
        ...lines.map(([caption, text]) => {
          const tr = element('tr');
          tr.append(element('th', caption), element('td', text));
          return tr;
        }),
      );
    } catch {
      $('class-error').textContent = t('no_server');
    }
  }
}
