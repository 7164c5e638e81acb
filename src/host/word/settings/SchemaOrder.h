#pragma once
// Child order of the WordprocessingML elements this library writes into, as the schema's
// sequences list them (local names). Children missing from a list are left where they are.

#include "host/word/settings/WordXml.h"

namespace paperloom::word::wml::order {

Sequence Settings();     // w:settings
Sequence SectPr();       // w:sectPr
Sequence Compat();       // w:compat
Sequence WebSettings();  // w:webSettings
Sequence Styles();       // w:styles
Sequence Style();        // w:style
Sequence Numbering();    // w:numbering
Sequence PPr();          // w:pPr (paragraph properties, as in a style)
Sequence RPr();          // w:rPr (run properties, as in a style or the defaults)
Sequence DocDefaults();  // w:docDefaults
Sequence Body();         // w:body (only sectPr's place at the end matters)

}  // namespace paperloom::word::wml::order
