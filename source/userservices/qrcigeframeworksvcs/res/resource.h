#pragma once
// Resource identifiers of QRCIGEFrameworkSvcs.
#include "tasklistres.h"
#include "configureviewres.h"
#include "taskpropertiesres.h"

#define IDR_CLIENTSERVICES 201
#define IDR_QRCTASKLIST 256
