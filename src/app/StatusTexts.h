#pragma once
// Every text the tool shows on its status line.
#include "catalogue/CatalogueTexts.h"
#include "update/ExchangeTexts.h"
