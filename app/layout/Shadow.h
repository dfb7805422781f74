#pragma once
// Drop shadows and glows of pictures: a blurred, tinted copy drawn under the picture.

#include "Looks.h"

#include <QPixmap>
#include <QPointF>

class QPainter;

// What casts the shadow: the picture's opaque pixels, or only its bright ones (a glow of lit
// segments that leaves dim, unlit segments dark).
enum TShadowMask { SHADOW_FROM_ALPHA, SHADOW_FROM_BRIGHTNESS };

// The shadow's offset from the picture, in logical pixels.
QPointF ShadowOffset(const TShadowLook& look);

// How far the shadow reaches beyond the picture's edge on its far side, in logical pixels.
qreal ShadowReach(const TShadowLook& look);

// The shadow of `picture` (a pixmap with its device pixel ratio), blurred and tinted, padded by
// the blur on every side; made anew on every call.
QPixmap MakeShadow(const QPixmap& picture, const TShadowLook& look, TShadowMask mask);

// Draws `shadow`, made by MakeShadow for a picture whose top-left corner stands at
// `pictureTopLeft`, with the painter's opacity times the look's opacity.
void DrawMadeShadow(QPainter& painter, const QPixmap& shadow, const QPointF& pictureTopLeft,
                    const TShadowLook& look);

// Draws the shadow of `picture` (a pixmap with its device pixel ratio) whose top-left corner
// stands at `pictureTopLeft`, with the painter's opacity times the look's opacity. The blurred
// shadow is made once per picture and look and kept in the pixmap cache: for pictures that stay.
void DrawShadow(QPainter& painter, const QPixmap& picture, const QPointF& pictureTopLeft,
                const TShadowLook& look, TShadowMask mask);
