#pragma once
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "experiment/Design.h"
#include "experiment/StimulusPatterns.h"
#include "stats/BinormalFit.h"

// A text's translation in some language: the interface's
// (QCoreApplication::translate, the default) or a page's.
using TranslateText = std::function<QString(const char* context, const char* source)>;

// The rating categories as the windows show them: in the interface's
// language when every caption and statement of the design has a translation
// (the standard ones, and those of the sample designs), else as the design
// gives them, so that a teacher's own scale is never shown half translated.
// On a blue-orange grid the standard statements name the orange squares.
std::vector<experiment::RatingCategory> ShownRatings(const experiment::Design& design,
                                                     const TranslateText& translate = {});

// What the feedback after an answer says of the pattern shown, naming the
// colour of the squares the signal adds to.
QString FeedbackText(experiment::Palette palette, experiment::StimulusKind shown, const TranslateText& translate = {});

// What keeps counts from a fit, in the user's words (the analysis window's):
// the Japanese source in the context "TAnalysisWindow", and its translation.
const char* FitObstacleSource(roc::FitObstacle why);
QString FitObstacleText(roc::FitObstacle why, const TranslateText& translate = {});
