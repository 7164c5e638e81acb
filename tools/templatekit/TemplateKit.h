#pragma once
// Everything the template kit offers: settings, field codes, property texts, page skeletons
// and the writer.

#include "FieldCodes.h"
#include "PropertyText.h"
#include "Skeleton.h"
#include "TemplateSettings.h"
#include "TemplateWriter.h"
