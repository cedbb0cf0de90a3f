// The stimulus grid on a canvas of the stage's own device pixels: every
// square the same whole number of device pixels, outlined in white as the
// desktop grid is, the grid centred; crisp at any device pixel ratio.

const SIDE = 10;

export class Grid {
  constructor(canvas) {
    this.canvas = canvas;
    this.pattern = null;
    this.colours = null;
    this.observer = new ResizeObserver((entries) => this.resized(entries[0]));
    try {
      this.observer.observe(canvas, { box: 'device-pixel-content-box' });
    } catch {
      this.observer.observe(canvas);
    }
  }

  // The canvas is left to the next run's grid.
  close() {
    this.observer.disconnect();
  }

  resized(entry) {
    const box = entry.devicePixelContentBoxSize?.[0];
    const width = box ? box.inlineSize : Math.round(entry.contentRect.width * devicePixelRatio);
    const height = box ? box.blockSize : Math.round(entry.contentRect.height * devicePixelRatio);
    if (width === this.canvas.width && height === this.canvas.height) return;
    this.canvas.width = width;
    this.canvas.height = height;
    this.draw();
  }

  // pattern: 100 characters, row by row, '1' for a marked (brown) square.
  set(pattern, colours) {
    this.pattern = pattern;
    this.colours = colours;
    this.draw();
  }

  draw() {
    const { width, height } = this.canvas;
    const g = this.canvas.getContext('2d', { alpha: false });
    g.fillStyle = '#ffffff';
    g.fillRect(0, 0, width, height);
    if (!this.pattern || width === 0) return;
    const cell = Math.floor(Math.min(width, height) / SIDE);
    const band = Math.max(1, Math.round(cell / 50));
    const left = Math.floor((width - cell * SIDE) / 2);
    const top = Math.floor((height - cell * SIDE) / 2);
    for (let r = 0; r < SIDE; ++r) {
      for (let c = 0; c < SIDE; ++c) {
        g.fillStyle = this.pattern[r * SIDE + c] === '1' ? this.colours.marked : this.colours.plain;
        g.fillRect(left + c * cell + band, top + r * cell + band, cell - 2 * band, cell - 2 * band);
      }
    }
  }
}
