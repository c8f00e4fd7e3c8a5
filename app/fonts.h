// The system message font applied to a window and its controls.
#pragma once

namespace unw {

class App;
class Form;

void ApplyWindowFonts(App& app, Form& form);

}  // namespace unw
