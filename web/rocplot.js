// The ROC window's picture on a canvas: the desktop window's 500 x 500 plot
// (frame, chance diagonal, axis titles and ticks, the observed points, the
// model curve with its criterion markers and the maximum-likelihood curve),
// drawn at the canvas's own device pixels, so that it is crisp at any
// device pixel ratio. Positions are the desktop plot's pixels, unrounded.

import { modelPoint, observedPoints } from './binormal.js';

export const PICTURE = 500;
// Rate (0, 0) at pixel (40, 460), one unit of rate 450 pixels.
export const FRAME = { x0: 40, y0: 460, scale: 450 };

// The desktop's colours: points and criteria by number, the curves.
const POINT_COLOURS = ['#008000', '#800000', '#ff0000', '#800080', '#008080', '#808000', '#ff8000'];
export const pointColour = (p) => POINT_COLOURS[Math.min(Math.max(p, 1), POINT_COLOURS.length) - 1];
export const MODEL_COLOUR = '#0000ff';
const FITTED_COLOUR = '#808080';

const toPixel = (frame, [fa, hit]) => [frame.x0 + fa * frame.scale, frame.y0 - hit * frame.scale];

// The model curve as the desktop draws it: from the lower left corner through
// 101 samples of the criterion, -5 to 5 in steps of 0.1, and the markers of
// the criteria, the highest first.
export function curvePoints(m, frame = FRAME) {
  const path = [toPixel(frame, [0, 0])];
  for (let i = -50; i <= 50; ++i) path.push(toPixel(frame, modelPoint(m, i * 0.1)));
  const markers = [];
  for (let j = m.criteria.length; j >= 1; --j) markers.push(toPixel(frame, modelPoint(m, m.criteria[j - 1])));
  return { path, markers };
}

// The maximum-likelihood curve: the same samples without the corner.
function fittedPath(fit, frame) {
  const path = [];
  for (let i = -50; i <= 50; ++i) path.push(toPixel(frame, modelPoint(fit, i * 0.1)));
  return path;
}

export class RocPlot {
  constructor(canvas) {
    this.canvas = canvas;
    this.g = canvas.getContext('2d');
  }

  // The canvas's side in CSS pixels: its backing store follows the device
  // pixel ratio, and the picture's unit becomes k device pixels.
  resize(side) {
    const ratio = window.devicePixelRatio || 1;
    const device = Math.max(1, Math.round(side * ratio));
    this.canvas.style.width = `${side}px`;
    this.canvas.style.height = `${side}px`;
    if (this.canvas.width !== device) {
      this.canvas.width = device;
      this.canvas.height = device;
    }
    this.k = device / PICTURE;
    this.ratio = device / side;
  }

  // A pen of desktop width w: whole device pixels, at least one.
  pen(w, colour) {
    this.g.lineWidth = Math.max(1, Math.round(w * this.k));
    this.g.strokeStyle = colour;
  }

  // A desktop pixel's centre in device pixels.
  at(v) {
    return (v + 0.5) * this.k;
  }

  line(path) {
    const g = this.g;
    g.beginPath();
    path.forEach(([x, y], i) => (i ? g.lineTo(this.at(x), this.at(y)) : g.moveTo(this.at(x), this.at(y))));
    g.stroke();
  }

  text(s, x, y) {
    this.g.fillText(s, x * this.k, y * this.k);
  }

  axes() {
    const g = this.g;
    g.fillStyle = '#000000';
    g.textBaseline = 'top';
    // The desktop's text height, but never below 13 CSS pixels on a small screen.
    g.font = `${Math.round(Math.max(18 * this.k, 13 * this.ratio))}px "IPAGothic", "Noto Sans Mono CJK JP", monospace`;
    this.text('P(Yes|N)', 200, 470);
    this.text('0.0', 30, 470);
    this.text('1.0', 465, 470);
    this.text('0.0', 5, 440);
    this.text('1.0', 5, 10);
    // The vertical title reads from the bottom up, its top facing left.
    g.save();
    g.translate(11 * this.k, 300 * this.k);
    g.rotate(-Math.PI / 2);
    g.fillText('P(Yes|S)', 0, 0);
    g.restore();
  }

  // counts: the recorded counts; m: the fit by eye; fit: the maximum-
  // likelihood parameters to lay over, or null.
  draw(counts, m, fit) {
    const g = this.g;
    const f = FRAME;
    g.setTransform(1, 0, 0, 1, 0, 0);
    g.fillStyle = '#ffffff';
    g.fillRect(0, 0, this.canvas.width, this.canvas.height);
    this.axes();
    this.pen(3, '#000000');
    // The frame's edges on whole device pixels, so that its lines are sharp.
    const edge = (v) => Math.round(this.at(v) - g.lineWidth / 2) + g.lineWidth / 2;
    const [left, top, right] = [edge(f.x0), edge(f.y0 - f.scale), edge(f.x0 + f.scale)];
    g.strokeRect(left, top, right - left, right - left);
    this.pen(1, '#000000');
    this.line([[f.x0, f.y0], [f.x0 + f.scale, f.y0 - f.scale]]);
    observedPoints(counts).forEach((rates, i) => {
      if (!rates) return;
      const [x, y] = toPixel(f, rates);
      this.pen(1, pointColour(i + 1));
      g.fillStyle = '#ffffff';
      g.beginPath();
      g.arc(this.at(x), this.at(y), 6.5 * this.k, 0, 2 * Math.PI);
      g.fill();
      g.stroke();
    });
    const { path, markers } = curvePoints(m, f);
    this.pen(1, MODEL_COLOUR);
    this.line(path);
    markers.forEach(([x, y], i) => {
      g.fillStyle = pointColour(m.criteria.length - i);
      const side = Math.max(2, Math.round(6 * this.k));
      g.fillRect(Math.round(this.at(x) - side / 2), Math.round(this.at(y) - side / 2), side, side);
    });
    // The overlay goes over the fit by eye, as on the desktop.
    if (fit) {
      this.pen(1, FITTED_COLOUR);
      this.line(fittedPath(fit, f));
    }
  }
}
