#pragma once
// XML writing into strings and the value conversions that go with it.
#include "qrxmlwriter.h"
#include "variantconversion.h"
#include "xmltext.h"
