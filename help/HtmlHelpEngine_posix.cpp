#include "help/HtmlHelpEngine.h"

#include "help/ChmHelpEngine.h"

// Our own engine on chmlib, with a Qt help window.
std::unique_ptr<HtmlHelpEngine> LoadHtmlHelpEngine() { return std::make_unique<ChmHelpEngine>(); }
