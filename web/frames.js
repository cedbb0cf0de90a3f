// Timing by the browser's own frames: the frame period measured on the page,
// and an exposure of a whole number of frames, stamped with the frames'
// own times.

// The mean of the middle half of `count` frame intervals: neither a late
// frame nor the stamps' rounding moves it.
export function measureFramePeriod(count = 30) {
  return new Promise((resolve) => {
    const stamps = [];
    const step = (ts) => {
      stamps.push(ts);
      if (stamps.length <= count) {
        requestAnimationFrame(step);
        return;
      }
      const gaps = stamps.slice(1).map((s, i) => s - stamps[i]).sort((a, b) => a - b);
      const middle = gaps.slice(Math.floor(gaps.length / 4), Math.ceil((3 * gaps.length) / 4));
      resolve(middle.reduce((a, b) => a + b, 0) / middle.length);
    };
    requestAnimationFrame(step);
  });
}

// The number of frames an exposure of `ms` lasts: at least one.
export function exposureFrames(ms, period) {
  return Math.max(1, Math.round(ms / period));
}

// Shows the grid (`show()`) in one frame and takes it away (`hide()`) in
// the frame n frame periods later, counted from the frames' stamps so that
// a late callback does not lengthen the exposure by more than it must.
// `spoiled()` says the trial was called off meanwhile (the page hidden):
// the result is null, and the caller has put its own screen up. Otherwise
// {exposure_ms, asked_ms, frame_ms}: from the first frame with the grid to
// the first frame without it, and `gone`, that frame's stamp.
export function expose({ ms, period, show, hide, spoiled }) {
  const n = exposureFrames(ms, period);
  return new Promise((resolve) => {
    let first = null;
    const step = (ts) => {
      if (spoiled()) {
        resolve(null);
        return;
      }
      if (first === null) {
        show();
        first = ts;
      } else if (Math.round((ts - first) / period) >= n) {
        hide();
        resolve({ exposure_ms: ts - first, asked_ms: n * period, frame_ms: period, gone: ts });
        return;
      }
      requestAnimationFrame(step);
    };
    requestAnimationFrame(step);
  });
}
