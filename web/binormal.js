// The binormal rating model on the page, as the program computes it: the
// standard normal distribution (JavaScript has no erfc), the model's ROC
// points, -log L of a fit by eye, and the parameters' number format.
//
// The model: noise N(0, 1), signal N(d, R^2), criteria c1 < ... < c(K-1);
// params = {d, R, criteria: [c1, ...]}; counts = {noise: [...K], signal: [...K]},
// element k the trials of that kind answered k + 1.

// Cody's rational approximations of the normal distribution (Math. Comp. 23,
// 1969), accurate to the last bits of a double in both tails.
const A = [2.2352520354606839287, 161.02823106855587881, 1067.6894854603709582, 18154.981253343561249,
  0.065682337918207449113];
const B = [47.20258190468824187, 976.09855173777669322, 10260.932208618978205, 45507.789335026729956];
const C = [0.39894151208813466764, 8.8831497943883759412, 93.506656132177855979, 597.27027639480026226,
  2494.5375852903726711, 6848.1904505362823326, 11602.651437647350124, 9842.7148383839780218,
  1.0765576773720192317e-8];
const D = [22.266688044328115691, 235.38790178262499861, 1519.377599407554805, 6485.558298266760755,
  18615.571640885098091, 34900.952721145977266, 38912.003286093271411, 19685.429676859990727];
const P = [0.21589853405795699, 0.1274011611602473639, 0.022235277870649807, 0.001421619193227893466,
  2.9112874951168792e-5, 0.02307344176494017303];
const Q = [1.28426009614491121, 0.468238212480865118, 0.0659881378689285515, 0.00378239633202758244,
  7.29751555083966205e-5];
const INV_SQRT_2PI = 0.398942280401432677939946059934;

// exp(-y^2 / 2) without the rounding of y^2: y is split where its square is exact.
function gaussFactor(y) {
  const head = Math.trunc(y * 16) / 16;
  const del = (y - head) * (y + head);
  return Math.exp(-head * head * 0.5) * Math.exp(-del * 0.5);
}

// P(Z > y) for y >= 0.66291: the upper tail, to full relative precision.
function upperTail(y) {
  let num;
  let den;
  if (y <= Math.sqrt(32)) {
    num = C[8] * y;
    den = y;
    for (let i = 0; i < 7; ++i) {
      num = (num + C[i]) * y;
      den = (den + D[i]) * y;
    }
    return gaussFactor(y) * ((num + C[7]) / (den + D[7]));
  }
  if (y > 38.5) return 0;
  const s = 1 / (y * y);
  num = P[5] * s;
  den = s;
  for (let i = 0; i < 4; ++i) {
    num = (num + P[i]) * s;
    den = (den + Q[i]) * s;
  }
  return gaussFactor(y) * ((INV_SQRT_2PI - (s * (num + P[4])) / (den + Q[4])) / y);
}

// [P(Z <= z), P(Z > z)], each accurate where it is the smaller.
export function normalTails(z) {
  if (Number.isNaN(z)) return [NaN, NaN];
  const y = Math.abs(z);
  if (y <= 0.66291) {
    const s = y > 1.11e-16 ? z * z : 0;
    let num = A[4] * s;
    let den = s;
    for (let i = 0; i < 3; ++i) {
      num = (num + A[i]) * s;
      den = (den + B[i]) * s;
    }
    const half = (z * (num + A[3])) / (den + B[3]);
    return [0.5 + half, 0.5 - half];
  }
  const small = upperTail(y);
  return z > 0 ? [1 - small, small] : [small, 1 - small];
}

export const normalCdf = (z) => normalTails(z)[0];

// P(lo < Z <= hi) for lo <= hi, from the tail that keeps the difference accurate.
export function normalBetween(lo, hi) {
  if (lo > 0) return normalTails(lo)[1] - normalTails(hi)[1];
  return normalTails(hi)[0] - normalTails(lo)[0];
}

// The upper bound of category k + 1 on the kind's own standard scale.
function bound(m, signal, k) {
  if (k >= m.criteria.length) return Infinity;
  return signal ? (m.criteria[k] - m.d) / m.R : m.criteria[k];
}

// The K category probabilities of a noise or signal trial; a category whose
// criteria are out of order gets 0.
export function categoryProbabilities(m, signal) {
  const probabilities = [];
  let lo = -Infinity;
  for (let k = 0; k <= m.criteria.length; ++k) {
    const hi = bound(m, signal, k);
    probabilities.push(lo <= hi ? normalBetween(lo, hi) : 0);
    lo = hi;
  }
  return probabilities;
}

// -log L of the parameters (without the multinomial constant); null when
// they are not finite, R <= 0, the sizes do not match or a used cell gets no
// probability (unordered criteria).
export function negLogLik(counts, m) {
  const K = counts.noise.length;
  if (K < 2 || counts.signal.length !== K || m.criteria.length !== K - 1) return null;
  if (![m.d, m.R, ...m.criteria].every(Number.isFinite) || !(m.R > 0)) return null;
  let nll = 0;
  for (const signal of [false, true]) {
    const row = signal ? counts.signal : counts.noise;
    const probabilities = categoryProbabilities(m, signal);
    for (let k = 0; k < K; ++k) {
      if (row[k] === 0) continue;
      if (!(probabilities[k] > 0)) return null;
      nll -= row[k] * Math.log(probabilities[k]);
    }
  }
  return Number.isFinite(nll) ? nll : null;
}

// Why the fit by eye has no -log L: the analysis window's reasons.
export function whyNoLikelihood(m) {
  const ordered = m.criteria.every((c, i) => i === 0 || m.criteria[i - 1] < c);
  if (!ordered) return 'ml_order_bad';
  if (!(m.R > 0)) return 'ml_r_not_positive';
  return 'ml_cannot_compute';
}

// The model's point at criterion c: [false-alarm rate, hit rate].
export function modelPoint(m, c) {
  return [normalTails(c)[1], normalTails((c - m.d) / m.R)[1]];
}

// The observed points p = 1 .. K - 1 ("yes" = a response above p): their
// rates, or null where a kind has no trials.
export function observedPoints(counts) {
  const total = (row) => row.reduce((a, b) => a + b, 0);
  const nN = total(counts.noise);
  const nS = total(counts.signal);
  const points = [];
  for (let p = 1; p < counts.noise.length; ++p) {
    const above = (row) => total(row.slice(p));
    points.push(nN > 0 && nS > 0 ? [above(counts.noise) / nN, above(counts.signal) / nS] : null);
  }
  return points;
}

// A parameter's text: 5 significant digits of its 18-digit expansion, half
// up, trailing zeros dropped; fixed notation for decimal exponents -3..5,
// otherwise scientific ("1.2346E5", "3.5237E-19").
export function formatParameter(v, point = '.') {
  if (Number.isNaN(v)) return 'NAN';
  if (!Number.isFinite(v)) return v < 0 ? '-INF' : 'INF';
  if (Math.abs(v) < 2.2250738585072014e-308) return '0';
  const [mantissa, exp] = Math.abs(v).toExponential(17).split('e');
  let digits = mantissa.replace('.', '');
  let E = Number(exp) + 1;
  const up = digits[5] >= '5';
  digits = digits.slice(0, 5);
  if (up) {
    const n = String(Number(digits) + 1);
    if (n.length > 5) {
      digits = '1';
      ++E;
    } else {
      digits = n;
    }
  }
  digits = digits.replace(/0+$/, '') || '0';
  const sign = v < 0 ? '-' : '';
  const n = digits.length;
  if (E >= -3 && E <= 5) {
    if (E > 0) {
      const whole = digits.slice(0, E).padEnd(E, '0');
      return sign + whole + (n > E ? point + digits.slice(E) : '');
    }
    return `${sign}0${point}${'0'.repeat(-E)}${digits}`;
  }
  return `${sign}${digits[0]}${n > 1 ? point + digits.slice(1) : ''}E${E - 1}`;
}

// The analysis window's fixed notation: 4 decimals, "—" when not finite, no
// minus sign on a value that rounds to zero.
export function fixed(v, decimals = 4) {
  if (v === null || !Number.isFinite(v)) return '—';
  const s = v.toFixed(decimals);
  return Number(s) === 0 ? s.replace(/^-/, '') : s;
}
