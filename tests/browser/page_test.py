#!/usr/bin/python3
"""The student's page in headless Chromium against the real `--serve`, one
scenario a run: a short design by keyboard or by clicks, the network cut
for some trials, a reload in the middle, the page hidden during an exposure
(with a second tab on the run). Each ends with every trial's row exactly
once in the data folder, as answered, and `--fit` fitting the session.

    page_test.py ROCRATING SCENARIO

Times here are failure limits only; what the browser shows is judged by its
own frame counts, never by how long anything took."""

import csv
import glob
import io
import json
import os
import socket
import subprocess
import sys
import tempfile
import time
import urllib.request

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By

# Four ratings, 2 practice and 10 recorded trials of 100 ms.
DESIGN = """name = "browser"
practice_trials = 2
recorded_trials = 10
exposure_ms = 100
"""
K = 4
EXPOSURE_MS = 100
SCENARIOS = {
    'keyboard': dict(size=(360, 640), ratio=2, lang='ja', by='keys'),
    'clicks': dict(size=(1366, 768), ratio=1, lang='en', by='clicks'),
    'offline': dict(size=(360, 640), ratio=3, lang='ja', by='keys', offline=(3, 6)),
    'reload': dict(size=(1366, 768), ratio=1, lang='en', by='keys', reload_after=4),
    'hidden': dict(size=(360, 640), ratio=2, lang='ja', by='clicks', hide_at=3),
}
LIMIT_S = 60


def wait_for(what, check, limit=LIMIT_S):
    end = time.monotonic() + limit
    while time.monotonic() < end:
        value = check()
        if value:
            return value
        time.sleep(0.02)
    raise AssertionError(f'gave up waiting for {what}')


def free_port():
    with socket.socket() as s:
        s.bind(('127.0.0.1', 0))
        return s.getsockname()[1]


def get_json(url):
    with urllib.request.urlopen(url, timeout=10) as r:
        return json.load(r)


class Server:
    def __init__(self, rocrating, folder, designs=(DESIGN,)):
        self.data = os.path.join(folder, 'data')
        given = []
        for i, text in enumerate(designs):
            given += ['--design', os.path.join(folder, f'browser{i}.toml')]
            with open(given[-1], 'w', encoding='utf-8') as f:
                f.write(text)
        self.url = f'http://127.0.0.1:{free_port()}'
        self.log = open(os.path.join(folder, 'server.log'), 'w+')
        self.process = subprocess.Popen(
            [rocrating, '--serve', '--listen', self.url[len('http://'):], *given,
             '--data', self.data, '--seed', '7'],
            stdout=self.log, stderr=subprocess.STDOUT)

        def up():
            assert self.process.poll() is None, 'the server ended: ' + self.output()
            try:
                return get_json(self.url + '/api/config')
            except OSError:
                return None
        wait_for('the server', up)

    def output(self):
        self.log.seek(0)
        return self.log.read()

    def stop(self):
        self.process.terminate()
        assert self.process.wait(timeout=LIMIT_S) == 0, 'the server did not end cleanly: ' + self.output()


class Page:
    def __init__(self, scenario):
        options = webdriver.ChromeOptions()
        options.binary_location = '/usr/bin/chromium'
        width, height = scenario['size']
        for a in ('--headless=new', '--no-sandbox', '--disable-gpu', '--no-first-run',
                  f'--window-size={width},{height}', f'--force-device-scale-factor={scenario["ratio"]}'):
            options.add_argument(a)
        self.driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
        # The window's size exactly (headless windows have a smallest width),
        # at the device pixel ratio of the command line.
        self.driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {
            'width': width, 'height': height, 'deviceScaleFactor': 0, 'mobile': False})
        self.driver.execute_cdp_cmd('Network.enable', {})
        self.by_keys = scenario['by'] == 'keys'

    def data(self, name):
        return self.driver.execute_script(f'return document.body.dataset.{name} || ""')

    def text(self, element_id):
        return self.driver.find_element(By.ID, element_id).text

    def at(self, state, trial=None):
        return self.data('state') == state and (trial is None or self.data('trial') == str(trial))

    def press(self, keys, element):
        if self.by_keys:
            ActionChains(self.driver).send_keys(keys).perform()
        else:
            element().click()

    def join(self, name):
        wait_for('the join screen', lambda: self.at('join'))
        focused = self.driver.switch_to.active_element
        assert focused.get_attribute('id') == 'observer', 'the name field has the focus'
        focused.send_keys(name + '\n')

    def go(self, trial):
        wait_for(f'GO of trial {trial}', lambda: self.at('go', trial))
        if trial == 2:
            self.check_layout()
        self.press(' ', lambda: self.driver.find_element(By.ID, 'go'))

    def check_layout(self):
        clash = self.driver.execute_script(TEXTS_CLASHING)
        assert not clash, f'texts overlap or leave the window: {clash}'

    def rate(self, trial, code):
        wait_for(f'the rating of trial {trial}', lambda: self.at('rating', trial))
        if trial == 2:
            self.check_layout()
        buttons = self.driver.find_elements(By.CSS_SELECTOR, '.rating')
        assert len(buttons) == K
        self.press(str(code), lambda: buttons[K - code])

    def offline(self, cut):
        self.driver.execute_cdp_cmd('Network.emulateNetworkConditions', {
            'offline': cut, 'latency': 0, 'downloadThroughput': -1, 'uploadThroughput': -1})

    def hide_during_exposure(self, url, texts, trial):
        """GO, then another tab over the page: that tab opens the same run and
        is told it is open elsewhere. Back on the page, the trial is offered
        again from GO."""
        first = self.driver.current_window_handle
        self.go(trial)
        self.driver.switch_to.new_window('tab')
        self.driver.get(url)
        wait_for('the second tab refused', lambda: self.at('other-tab'))
        assert self.text('message-text') == texts['other_tab']
        self.driver.close()
        self.driver.switch_to.window(first)
        wait_for(f'trial {trial} offered again', lambda: self.at('go', trial))
        assert self.text('notice') == texts['hidden_again']
        print(f'hidden during the {self.data("spoiled")} of trial {trial}')


# The boxes of the shown texts (their glyphs, not their elements) that
# overlap another or leave the window.
TEXTS_CLASHING = '''
const boxes = [];
for (const el of document.querySelectorAll('p, button, label')) {
  if (!el.textContent.trim() || !el.getClientRects().length ||
      getComputedStyle(el).visibility === 'hidden') continue;
  const range = document.createRange();
  range.selectNodeContents(el);
  boxes.push([el.textContent, range.getBoundingClientRect()]);
}
const clash = [];
for (const [i, [text, r]] of boxes.entries()) {
  if (r.left < 0 || r.right > innerWidth) clash.push(text);
  for (const [other, q] of boxes.slice(i + 1))
    if (r.left < q.right && q.left < r.right && r.top < q.bottom && q.top < r.bottom) clash.push(text + ' / ' + other);
}
return clash;'''


def answers_for(trials):
    """Answers that overlap between the kinds, so that the fit has a finite
    maximum: signal mostly high, noise mostly low, every category used."""
    pattern = {'signal': [4, 3, 2, 4, 1, 3], 'noise': [1, 2, 3, 1, 4, 2]}
    seen = {'signal': 0, 'noise': 0}
    answers = {}
    for t in trials:
        kind = t['stimulus']
        answers[t['trial']] = pattern[kind][seen[kind] % 6]
        seen[kind] += 1
    return answers


def run_scenario(page, server, scenario, texts):
    url = f'{server.url}/?lang={scenario["lang"]}'
    page.driver.get(url)
    page.join('ブラウザ太郎 "b"')
    wait_for('the first trial', lambda: page.at('go', 1))
    run = page.driver.execute_script(
        'return JSON.parse(localStorage.getItem("rocrating.run." + localStorage.getItem("rocrating.current")))')
    trials = run['trials']
    answers = answers_for(trials)
    for t in trials:
        n = t['trial']
        if n == scenario.get('offline', (0,))[0]:
            wait_for('the answers so far stored', lambda: page.data('unsent') == '0')
            page.offline(True)
        if n == scenario.get('hide_at'):
            page.hide_during_exposure(url, texts, n)
        page.go(n)
        page.rate(n, answers[n])
        if n == scenario.get('offline', (0, 0))[1]:
            held = scenario['offline'][1] - scenario['offline'][0] + 1
            wait_for('the count of held answers', lambda: page.data('unsent') == str(held))
            assert page.text('unsent') == texts['unsent'].replace('%1', str(held))
            page.offline(False)
        if n == scenario.get('reload_after'):
            page.driver.refresh()
            wait_for('the run taken up again', lambda: page.at('go', n + 1))
    wait_for('every answer stored', lambda: page.at('end') and page.data('unsent') == '0')
    assert page.text('stored') == texts['all_stored']
    gaps = [e['message'] for e in page.driver.get_log('browser') if 'no text' in e['message']]
    assert not gaps, f'texts the server does not give: {gaps}'
    return run, answers


def check_rows(server, rocrating, run, answers):
    files = glob.glob(os.path.join(server.data, '*.csv'))
    rows = []
    for name in files:
        with open(name, newline='', encoding='utf-8') as f:
            rows += list(csv.DictReader(f))
    assert sorted(int(r['trial']) for r in rows) == sorted(answers), 'every trial exactly once'
    for r in rows:
        n = int(r['trial'])
        assert int(r['response']) == answers[n], f'trial {n}: the response given'
        assert r['stimulus'] == run['trials'][n - 1]['stimulus']
        assert r['observer'] == 'ブラウザ太郎 "b"'
        frame = float(r['frame_ms'])
        frames = max(1, round(EXPOSURE_MS / frame))
        assert round(float(r['asked_ms']) / frame) == frames, f'trial {n}: asked a whole number of frames'
        assert round(float(r['exposure_ms']) / frame) >= frames, f'trial {n}: shown for them'
    fit = subprocess.run([rocrating, '--fit', *files], capture_output=True, text=True, timeout=LIMIT_S)
    assert fit.returncode == 0, fit.stderr
    fitted = list(csv.DictReader(io.StringIO(fit.stdout)))
    assert len(fitted) == 1 and fitted[0]['status'] == 'ok' and fitted[0]['completeness'] == 'complete', fit.stdout


class Watched:
    """The server and the pages of one scenario: on a failure the server's
    output and each page's console are printed; all are closed at the end."""

    def __init__(self, server):
        self.server = server
        self.pages = []

    def open(self, scenario):
        self.pages.append(Page(scenario))
        return self.pages[-1]

    def __enter__(self):
        return self

    def __exit__(self, kind, error, trace):
        if kind is not None:
            print(self.server.output(), file=sys.stderr)
            for page in self.pages:
                print(page.driver.get_log('browser'), file=sys.stderr)
        for page in self.pages:
            page.driver.quit()
        self.server.stop()
        return False


def main():
    rocrating, name = sys.argv[1], sys.argv[2]
    scenario = SCENARIOS[name]
    with tempfile.TemporaryDirectory(prefix='rocrating-page-') as folder:
        server = Server(rocrating, folder)
        with Watched(server) as watch:
            texts = get_json(f'{server.url}/api/config?lang={scenario["lang"]}')['texts']
            page = watch.open(scenario)
            run, answers = run_scenario(page, server, scenario, texts)
        check_rows(server, rocrating, run, answers)
    print(f'{name}: every row once, fitted')


if __name__ == '__main__':
    main()
