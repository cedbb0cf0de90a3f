#include "plot/RocPlot.h"

#include "stats/NormalExtended.h"
#include "stats/ResponseTally.h"
#include "plot/RocState.h"
#include "plot/PlotColours.h"

namespace roc {

namespace {

using numeric::Extended;

// The model point of a criterion c: false-alarm rate 1 - Phi(c), hit rate 1 - Phi((c - d) / R).
struct ModelPoint {
  Extended fa;
  Extended hit;
};

ModelPoint ModelPointAt(const ModelParameterSet& m, Extended c) {
  const auto [noise, signal] = NormalCdfPair(c, numeric::DivideExtended(c - m.d, m.R));
  const Extended one = 1;
  return {one - noise, one - signal};
}

void CriterionMarker(ui::Surface& plot, const PlotGeometry& frame, const ModelParameterSet& m, Extended c,
                     ui::Colour colour) {
  const ModelPoint p = ModelPointAt(m, c);
  plot.SetPenColor(colour);
  plot.SetBrushColor(colour);
  const std::int32_t X = ToScreenX(frame, p.fa);
  const std::int32_t Y = ToScreenY(frame, p.hit);
  plot.Rectangle(X - 3, Y - 3, X + 3, Y + 3);
}

}  // namespace

std::int32_t ToScreenX(const PlotGeometry& f, Extended v) {
  return static_cast<std::int32_t>(numeric::RoundExtended(v * static_cast<Extended>(f.scale) + static_cast<Extended>(f.x0)));
}

std::int32_t ToScreenY(const PlotGeometry& f, Extended v) {
  return static_cast<std::int32_t>(numeric::RoundExtended(static_cast<Extended>(f.y0) - v * static_cast<Extended>(f.scale)));
}

void PlotObservedPoint(ui::Surface& plot, const PlotGeometry& f, int p, Extended fa, Extended hit) {
  plot.SetPenColor(PointColour(p));
  const auto X = static_cast<std::int32_t>(f.x0 + numeric::RoundExtended(fa * static_cast<Extended>(f.scale)));
  const auto Y = static_cast<std::int32_t>(f.y0 - numeric::RoundExtended(hit * static_cast<Extended>(f.scale)));
  plot.Ellipse(X - 7, Y - 7, X + 7, Y + 7);
  plot.SetPenColor(ui::clBlack);
}

void DrawRocPlot(ui::Surface& plot, const PlotGeometry& f, const TallyTable& tally,
                 const ModelParameterSet& model) {
  if (f.scale == 0) return;

  plot.SetPenWidth(1);
  plot.SetPenColor(ui::clWhite);
  plot.SetBrushColor(ui::clWhite);
  plot.Rectangle(f.x0 - 3, f.y0 - f.scale - 3, f.x0 + f.scale + 3, f.y0 + 3);

  plot.SetPenWidth(3);
  plot.SetPenColor(ui::clBlack);
  plot.Rectangle(f.x0, f.y0 - f.scale, f.x0 + f.scale, f.y0);

  plot.SetPenWidth(1);
  plot.MoveTo(f.x0, f.y0);
  plot.LineTo(f.x0 + f.scale, f.y0 - f.scale);

  // A point whose rates are undefined (no answered trial of a kind) is left out.
  for (int p = 1; p < tally.Categories; ++p) {
    if (const auto rates = ObservedPoint(tally, p))
      PlotObservedPoint(plot, f, p, rates->FalseAlarmRate, rates->HitRate);
  }

  DrawModelCurve(plot, f, model);
}

void DrawModelCurve(ui::Surface& plot, const PlotGeometry& f, const ModelParameterSet& m) {
  plot.SetPenColor(kModelCurveColour);
  plot.SetPenWidth(1);
  plot.MoveTo(ToScreenX(f, 0), ToScreenY(f, 0));
  const Extended step = 0.1L;
  for (int i = -50; i <= 50; ++i) {
    const ModelPoint p = ModelPointAt(m, static_cast<Extended>(i) * step);
    plot.LineTo(ToScreenX(f, p.fa), ToScreenY(f, p.hit));
  }
  for (int j = m.Criteria; j >= 1; --j) CriterionMarker(plot, f, m, Criterion(m, j), PointColour(j));
}

}  // namespace roc
