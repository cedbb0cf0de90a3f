#pragma once

namespace ui {

// The language of the interface. The program's texts are written in
// Japanese; English comes from the translation built into the program.
enum class Language { kJapanese, kEnglish };

// Puts the interface's language in force for every text made from now on
// (call it once, after the application object exists). Japanese installs
// nothing, so the Japanese interface never depends on a translation file.
// Returns false when the translation could not be loaded.
bool UseLanguage(Language language);

// The language put in force by UseLanguage (Japanese until then).
Language CurrentLanguage();

}  // namespace ui
