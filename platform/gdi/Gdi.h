// The whole drawing layer.
#pragma once

#include "platform/gdi/Blit.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/Image.h"
#include "platform/gdi/ImageList.h"
#include "platform/gdi/Objects.h"
#include "platform/gdi/Region.h"
#include "platform/gdi/Shapes.h"
#include "platform/gdi/Surface.h"
#include "platform/gdi/Text.h"
#include "platform/gdi/WindowPaint.h"
