#!/usr/bin/python3
"""The ROC page of a finished run in headless Chromium against the real
`--serve`: step buttons held for a second (a finger on a phone, the mouse
and a key on a wide screen) move their parameter by the steps the page's
frames allow; the curve and G^2 follow and agree with the desktop's
(roc_reference); "apply" brings G^2 to 0; the run's rows and the plot save.

    roc_test.py ROCRATING ROC_REFERENCE SCENARIO

Frame and step counts decide, never how long anything took. With
ROC_SHOTS=DIR the page's screenshots are kept there."""

import csv
import glob
import json
import os
import subprocess
import sys
import tempfile
import time

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By

import page_test
from page_test import Server, Watched, get_json, wait_for

# Each hold: how (touch, mouse or keys), the row from the top (0 = d, then
# the criteria from the highest down, K - 1 = R) and the button (0 up, 1 down).
SCENARIOS = {
    'phone': dict(size=(360, 640), ratio=3, lang='ja', by='keys', open='enter', holds=[('touch', 0, 0)]),
    'desktop': dict(size=(1366, 768), ratio=1, lang='en', by='clicks', open='click',
                    holds=[('mouse', 4, 1), ('keys', 2, 0)], saves=True),
}
HOLD_S = 1.0
REPEAT_MS = 200  # the desktop ROC window's repeat of a held button


def step(row, up, value, K):
    """The desktop's step of a parameter row, in the page's double arithmetic."""
    if row == K:
        return value * 1.02 if up else value / 1.02
    if up:
        return value + 0.02
    return value if row == 0 and value < 0.03 else value - 0.02


def row_value(params, row, K):
    return params['d'] if row == 0 else params['R'] if row == K else params['criteria'][K - 1 - row]


class RocPage:
    def __init__(self, page, shots, name):
        self.page = page
        self.driver = page.driver
        self.shots = shots
        self.name = name

    def params(self):
        return json.loads(self.page.data('params'))

    def shot(self, what):
        if self.shots:
            self.driver.save_screenshot(os.path.join(self.shots, f'roc-{self.name}-{what}.png'))

    def hold(self, how, row, button):
        """Press, wait a second, release, as a user would; the page holds until the release."""
        target = self.driver.find_elements(By.CSS_SELECTOR, '.roc-step')[2 * row + button]
        if how == 'touch':
            box = self.driver.execute_script(
                'const r = arguments[0].getBoundingClientRect(); return {x: r.x + r.width / 2, y: r.y + r.height / 2}',
                target)
            touch = lambda kind, points: self.driver.execute_cdp_cmd(
                'Input.dispatchTouchEvent', {'type': kind, 'touchPoints': points})
            press, release = lambda: touch('touchStart', [box]), lambda: touch('touchEnd', [])
        elif how == 'mouse':
            press = lambda: ActionChains(self.driver).click_and_hold(target).perform()
            release = lambda: ActionChains(self.driver).release(target).perform()
        else:
            self.driver.execute_script('arguments[0].focus()', target)
            press = lambda: ActionChains(self.driver).key_down(' ').perform()
            release = lambda: ActionChains(self.driver).key_up(' ').perform()
        press()
        time.sleep(HOLD_S)
        assert self.page.data('holding') == 'yes', f'{how}: still held before the release'
        release()
        wait_for('the hold released', lambda: self.page.data('holding') == 'no')

    def curve(self, params):
        return self.driver.execute_async_script(
            'const done = arguments[1];'
            'import("/web/rocplot.js").then((m) => done(m.curvePoints(arguments[0])));', params)


def check_against_desktop(roc, reference, counts):
    """The page's curve within half a pixel of the desktop's, the rows' texts
    the desktop's, G^2 the analysis window's."""
    params = roc.params()
    desktop = json.loads(subprocess.run(
        [reference, ' '.join(map(str, counts['noise'])), ' '.join(map(str, counts['signal'])),
         repr(params['d']), repr(params['R']), *map(repr, params['criteria'])],
        capture_output=True, text=True, check=True, timeout=60).stdout)
    page = roc.curve(params)
    for part in ('path', 'markers'):
        assert len(page[part]) == len(desktop[part])
        for (px, py), (dx, dy) in zip(page[part], desktop[part]):
            assert abs(px - dx) <= 0.5 + 1e-9 and abs(py - dy) <= 0.5 + 1e-9, \
                f'{part}: page ({px}, {py}) against the desktop ({dx}, {dy})'
    rows = [e.text for e in roc.driver.find_elements(By.CSS_SELECTOR, '.roc-value')]
    assert [r.split('= ')[1] for r in rows] == desktop['texts'], rows
    g2 = float(roc.page.data('g2'))
    assert abs(g2 - desktop['g2']) <= 1e-9 * max(1.0, abs(desktop['g2'])), (g2, desktop['g2'])
    shown = roc.driver.find_element(By.CSS_SELECTOR, '.ml-deviance td:last-child').text
    assert shown == f'{desktop["g2"]:.4f}', shown


def check_saves(roc, folder):
    downloads = os.path.join(folder, 'downloads')
    os.makedirs(downloads)
    roc.driver.execute_cdp_cmd('Browser.setDownloadBehavior', {'behavior': 'allow', 'downloadPath': downloads})
    roc.driver.find_element(By.ID, 'roc-save-rows').click()
    roc.driver.find_element(By.ID, 'roc-save-plot').click()

    def saved():
        names = [n for n in os.listdir(downloads) if not n.endswith('.crdownload')]
        return names if len(names) == 2 else None
    names = sorted(wait_for('the two saves', saved))
    with open(os.path.join(downloads, names[1]), 'rb') as f:
        assert names[1].startswith('roc-plot') and f.read(8) == b'\x89PNG\r\n\x1a\n', names
    with open(os.path.join(downloads, names[0]), encoding='utf-8') as f:
        lines = f.read().splitlines()
    assert names[0].startswith('results') and lines[0].startswith('session,observer,design'), names
    return len(lines) - 1


def run(rocrating, reference, name, folder):
    scenario = SCENARIOS[name]
    shots = os.environ.get('ROC_SHOTS')
    server = Server(rocrating, folder)
    with Watched(server) as watch:
        texts = get_json(f'{server.url}/api/config?lang={scenario["lang"]}')['texts']
        page = watch.open(scenario)
        if scenario['by'] == 'keys':
            page.driver.execute_cdp_cmd('Emulation.setTouchEmulationEnabled', {'enabled': True, 'maxTouchPoints': 1})
        run_record, answers = page_test.run_scenario(page, server, scenario, texts)
        roc = RocPage(page, shots, name)
        if scenario['open'] == 'enter':
            ActionChains(page.driver).send_keys('\n').perform()
        else:
            page.driver.find_element(By.ID, 'disp-data').click()
        wait_for('the fit', lambda: page.at('roc') and page.data('rocFit') == 'ok')
        roc.shot('start')
        K = len(run_record['design']['ratings'])
        counts = {'noise': [0] * K, 'signal': [0] * K}
        for t in run_record['trials']:
            if t['phase'] == 'recorded':
                counts[t['stimulus']][answers[t['trial']] - 1] += 1
        frame_ms = float(stored_rows(server)[0]['frame_ms'])
        every = max(1, round(REPEAT_MS / frame_ms))
        for how, row, button in scenario['holds']:
            before = row_value(roc.params(), row, K)
            roc.hold(how, row, button)
            frames, steps = int(page.data('holdFrames')), int(page.data('holdSteps'))
            assert int(page.data('repeatFrames')) == every
            assert steps == 1 + frames // every, f'{how}: {steps} steps in {frames} frames'
            expected = before
            for _ in range(steps):
                expected = step(row, button == 0, expected, K)
            assert row_value(roc.params(), row, K) == expected, f'{how}: moved by its {steps} steps'
            check_against_desktop(roc, reference, counts)
        roc.shot('held')
        page.driver.find_element(By.ID, 'ml-apply').click()
        wait_for('G² of 0', lambda: page.data('g2') == '0')
        check_against_desktop(roc, reference, counts)
        roc.shot('applied')
        if scenario.get('saves'):
            assert check_saves(roc, folder) == len(answers), 'every row of the run saved'
        gaps = [e['message'] for e in page.driver.get_log('browser') if 'no text' in e['message']]
        assert not gaps, f'texts the server does not give: {gaps}'


def stored_rows(server):
    rows = []
    for name in glob.glob(os.path.join(server.data, '*.csv')):
        with open(name, newline='', encoding='utf-8') as f:
            rows += list(csv.DictReader(f))
    return rows


def main():
    rocrating, reference, name = sys.argv[1:4]
    with tempfile.TemporaryDirectory(prefix='rocrating-roc-') as folder:
        run(rocrating, reference, name, folder)
    print(f'{name}: held steps, curve and G² as on the desktop')


if __name__ == '__main__':
    main()
