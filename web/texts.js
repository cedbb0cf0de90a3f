// The page's language and its texts. The server hands over every text the
// page shows, in the page's language, from the program's own translations;
// a key it does not know shows as the key itself and is reported on the
// console, so a gap is visible.

// ?lang=en|ja first, then the browser's preferred languages; null when
// neither names one of the two, and the server's language holds (Japanese
// unless it was started with --lang en).
export function pageLanguage() {
  const asked = new URLSearchParams(location.search).get('lang');
  if (asked === 'en' || asked === 'ja') return asked;
  for (const l of navigator.languages || [navigator.language || '']) {
    if (l.startsWith('ja')) return 'ja';
    if (l.startsWith('en')) return 'en';
  }
  return null;
}

let texts = {};
let language = 'ja';

// The page's language as the server took it: the design's texts and the
// reasons of a refusal come in it too (?lang= on those requests).
export function lang() {
  return language;
}

export async function loadConfig() {
  const lang = pageLanguage();
  const response = await fetch(lang ? `/api/config?lang=${lang}` : '/api/config', { cache: 'no-store' });
  if (!response.ok) throw new Error(`config ${response.status}`);
  const config = await response.json();
  texts = config.texts || {};
  language = config.lang || lang || 'ja';
  document.documentElement.lang = language;
  return config;
}

// The text of `key` with %1, %2, ... replaced by `args`.
export function t(key, ...args) {
  if (!(key in texts)) console.error(`rocrating: no text "${key}"`);
  const text = texts[key] ?? key;
  return text.replace(/%(\d)/g, (m, i) => (args[i - 1] !== undefined ? String(args[i - 1]) : m));
}

// Every element with data-text="KEY" shows its text.
export function fillTexts(root = document) {
  for (const el of root.querySelectorAll('[data-text]')) el.textContent = t(el.dataset.text);
}
