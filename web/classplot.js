// The class plot on a canvas, as the class window draws it: every session's
// observed points and thin fitted curve in its design's colour, per design
// the pooled fit's curve (thick) and the curve of the averaged a and b
// (dashed), in the ROC or the z-ROC, with the legend. The backing store
// follows the device pixel ratio, so the plot is crisp on any screen.

import { normalCdf } from './binormal.js';
import { t } from './texts.js';

const Z_LIMIT = 3; // the z-ROC's axes run from -3 to 3
const SAMPLES = 64; // steps of z(FA) along a ROC curve
const FONT = '13px sans-serif';

const drawable = (l) => l && Number.isFinite(l[0]) && Number.isFinite(l[1]) && l[1] > 0;

function withAlpha(hex, alpha) {
  const v = parseInt(hex.slice(1), 16);
  return `rgba(${v >> 16}, ${(v >> 8) & 255}, ${v & 255}, ${alpha})`;
}

// Qt's darker(125): the colour's value divided by 1.25.
function darker(hex) {
  const v = parseInt(hex.slice(1), 16);
  const c = [v >> 16, (v >> 8) & 255, v & 255].map((x) => Math.round(x / 1.25));
  return `rgb(${c.join(', ')})`;
}

export class ClassPlot {
  constructor(canvas) {
    this.canvas = canvas;
    this.g = canvas.getContext('2d');
    this.drawn = 0;
  }

  // The canvas at `side` CSS pixels, its store in whole device pixels.
  resize(side) {
    const device = Math.max(1, Math.round(side * (window.devicePixelRatio || 1)));
    this.canvas.style.width = `${side}px`;
    this.canvas.style.height = `${side}px`;
    if (this.canvas.width !== device) this.canvas.width = this.canvas.height = device;
    this.side = side;
    this.g.setTransform(device / side, 0, 0, device / side, 0, 0);
  }

  frame(kind) {
    const left = 50, bottom = 44, room = 16; // room: half the last tick label
    const size = Math.max(40, this.side - Math.max(left, bottom) - room);
    const plot = { x: left, y: room, w: size, h: size };
    const roc = kind === 'roc';
    plot.px = (x, y) =>
      roc
        ? [plot.x + x * plot.w, plot.y + plot.h - y * plot.h]
        : [plot.x + plot.w / 2 + (x * plot.w) / (2 * Z_LIMIT), plot.y + plot.h / 2 - (y * plot.h) / (2 * Z_LIMIT)];
    plot.roc = roc;
    return plot;
  }

  curve(f, [a, b]) {
    if (f.roc) {
      const path = [f.px(0, 0)];
      for (let i = 0; i <= SAMPLES; ++i) {
        const z = -4.5 + (9 * i) / SAMPLES;
        path.push(f.px(normalCdf(z), normalCdf(a + b * z)));
      }
      path.push(f.px(1, 1));
      return path;
    }
    const x1 = Math.max(-Z_LIMIT, (-Z_LIMIT - a) / b), x2 = Math.min(Z_LIMIT, (Z_LIMIT - a) / b);
    return x1 < x2 ? [f.px(x1, a + b * x1), f.px(x2, a + b * x2)] : [];
  }

  stroke(path, width, colour, dash = []) {
    if (path.length < 2) return;
    const g = this.g;
    g.lineWidth = width;
    g.strokeStyle = colour;
    g.setLineDash(dash);
    g.lineJoin = g.lineCap = 'round';
    g.beginPath();
    path.forEach(([x, y], i) => (i ? g.lineTo(x, y) : g.moveTo(x, y)));
    g.stroke();
    g.setLineDash([]);
  }

  axes(f) {
    const g = this.g;
    g.fillStyle = '#fff';
    g.fillRect(f.x, f.y, f.w, f.h);
    const lines = f.roc ? 10 : 2 * Z_LIMIT;
    const lo = f.roc ? 0 : -Z_LIMIT, hi = f.roc ? 1 : Z_LIMIT;
    g.font = FONT;
    for (let i = 0; i <= lines; ++i) {
      const v = f.roc ? i / 10 : i - Z_LIMIT;
      const colour = !f.roc && v === 0 ? '#969696' : '#e4e4e4';
      this.stroke([f.px(v, lo), f.px(v, hi)], 1, colour);
      this.stroke([f.px(lo, v), f.px(hi, v)], 1, colour);
      if (f.roc && i % 2) continue;
      const label = f.roc ? v.toFixed(1) : v < 0 ? `−${-v}` : String(v);
      g.fillStyle = '#000';
      g.textAlign = 'center';
      g.textBaseline = 'top';
      const [bx, by] = f.px(v, lo);
      g.fillText(label, bx, by + 4);
      g.textAlign = 'right';
      g.textBaseline = 'middle';
      const [lx, ly] = f.px(lo, v);
      g.fillText(label, lx - 4, ly);
    }
    this.stroke([f.px(lo, lo), f.px(hi, hi)], 1, '#aaaaaa', [4, 3]);
    g.strokeStyle = '#000';
    g.lineWidth = 1;
    g.strokeRect(f.x, f.y, f.w, f.h);
    g.textAlign = 'center';
    g.textBaseline = 'top';
    g.fillText(t(f.roc ? 'plot_fa' : 'plot_zfa'), f.x + f.w / 2, f.y + f.h + 24);
    g.save();
    g.translate(f.x - 38, f.y + f.h / 2);
    g.rotate(-Math.PI / 2);
    g.textBaseline = 'middle';
    g.fillText(t(f.roc ? 'plot_hit' : 'plot_zhit'), 0, 0);
    g.restore();
  }

  // data: {sessions: [{design, points, zpoints, fit}], designs: [{name, colour, pooled, averaged}]}
  draw(data, kind) {
    const g = this.g;
    g.clearRect(0, 0, this.side, this.side);
    const f = this.frame(kind);
    this.axes(f);
    g.save();
    g.beginPath();
    g.rect(f.x, f.y, f.w, f.h);
    g.clip();
    const colour = (s) => data.colours[s.design] || '#808080';
    for (const s of data.sessions) if (drawable(s.fit)) this.stroke(this.curve(f, s.fit), 0.8, withAlpha(colour(s), 70 / 255));
    this.drawn = 0;
    for (const s of data.sessions) {
      g.fillStyle = withAlpha(colour(s), 150 / 255);
      for (const [x, y] of kind === 'roc' ? s.points : s.zpoints) {
        const [px, py] = f.px(x, y);
        g.beginPath();
        g.arc(px, py, 2.6, 0, 2 * Math.PI);
        g.fill();
        ++this.drawn;
      }
    }
    for (const d of data.designs) {
      if (!drawable(d.pooled)) continue;
      this.stroke(this.curve(f, d.pooled), 5.2, '#fff');
      this.stroke(this.curve(f, d.pooled), 3.2, d.colour);
    }
    for (const d of data.designs) if (drawable(d.averaged)) this.stroke(this.curve(f, d.averaged), 2.2, darker(d.colour), [4 * 2.2, 2.5 * 2.2]);
    g.restore();
    this.legend(f, data.designs);
  }

  legend(f, designs) {
    const g = this.g;
    const entries = [[t('legend_sessions'), '#6e6e6e', 0]];
    for (const d of designs) entries.push([d.name + t('legend_pooled'), d.colour, 1], [d.name + t('legend_averaged'), d.colour, 2]);
    g.font = FONT;
    const widest = Math.max(...entries.map(([text]) => g.measureText(text).width));
    const line = 18, w = widest + 46, h = entries.length * line + 10;
    const x = f.x + f.w - w - 8, top = f.y + f.h - h - 8;
    g.fillStyle = 'rgba(255, 255, 255, 0.92)';
    g.fillRect(x, top, w, h);
    g.strokeStyle = '#c8c8c8';
    g.lineWidth = 1;
    g.strokeRect(x, top, w, h);
    entries.forEach(([text, colour, style], i) => {
      const y = top + 5 + line * (i + 0.5);
      if (style === 0) {
        this.stroke([[x + 6, y], [x + 32, y]], 0.8, withAlpha(colour, 120 / 255));
        g.fillStyle = withAlpha(colour, 180 / 255);
        g.beginPath();
        g.arc(x + 19, y, 2.6, 0, 2 * Math.PI);
        g.fill();
      } else if (style === 1) {
        this.stroke([[x + 6, y], [x + 32, y]], 3.2, colour);
      } else {
        this.stroke([[x + 6, y], [x + 32, y]], 2.2, darker(colour), [8.8, 5.5]);
      }
      g.fillStyle = '#000';
      g.textAlign = 'left';
      g.textBaseline = 'middle';
      g.fillText(text, x + 38, y);
    });
  }
}
