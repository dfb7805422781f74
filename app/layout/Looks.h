#pragma once
// The panel's looks in one place: shadows, glows, opacities and colours of the custom controls.
// Every widget of this folder draws with these values; the layout form holds the per-control ones.

#include <QColor>
#include <QtGlobal>

// A drop shadow or glow: how far and where it falls, how soft it is, how strong and in what colour.
// Direction is in degrees clockwise from the positive x axis (45 falls down and to the right);
// a glow is a shadow at distance 0.
struct TShadowLook {
    qreal Distance;
    qreal Direction;
    qreal Softness;
    qreal Opacity;
    QColor Color;
};

namespace Looks {

// Softness 1 blurs over this many logical pixels.
inline constexpr qreal BlurPxPerSoftness = 5.0;

inline const QColor Black{0x00, 0x00, 0x00};
inline const QColor DarkGray{0xA9, 0xA9, 0xA9};
inline const QColor DimGray{0x69, 0x69, 0x69};

// BLButton1Style: a face filling the button and a picture box with its own shadow.
inline constexpr int Button1FaceIndex = 0;
inline const TShadowLook Button1FaceShadow{2.0, 45.0, 0.4, 0.6, DarkGray};
inline constexpr qreal Button1PictureX = 96.0;
inline constexpr qreal Button1PictureY = 14.0;
inline constexpr qreal Button1PictureSize = 60.0;
inline constexpr qreal Button1PictureOpacity = 0.7;
inline const TShadowLook Button1PictureShadow{3.0, 45.0, 0.6, 0.4, DarkGray};

// BLButtonSSStyle: one square picture box, centred, this far from the top and bottom edges.
inline constexpr qreal ButtonSSMargin = 5.0;
inline const TShadowLook ButtonSSShadow{3.0, 45.0, 0.6, 0.8, DimGray};

// A picture that shows no state: each pixel in this grey, as bright as its brightest channel.
inline const QColor GreyedPicture = DarkGray;

// A disabled button keeps its look, dimmed to this share of its opacity.
inline constexpr qreal DisabledOpacity = 0.35;

// The device buttons' lamps: rounded glass, and the unlit glass that shows under a transparent
// fill, from its top edge through a faint band to its shaded bottom.
inline constexpr qreal LampCornerRadius = 3.0;
inline const QColor LampUnlitEdge{0x4A, 0x10, 0x10};
inline const QColor LampUnlitBand{0x62, 0x22, 0x22};
inline const QColor LampUnlitShade{0x2A, 0x06, 0x06};
// A blank lamp, neither lit nor unlit: neutral dark glass with a grey dash across its middle.
inline const QColor LampBlankGlass{0x28, 0x28, 0x28};
inline const QColor LampDash{0x9A, 0x9A, 0x9A};
inline constexpr qreal LampDashLength = 12.0;
inline constexpr qreal LampDashThickness = 3.0;

// BLTabControl1Style: the page area's fill.
inline const QColor PageArea = Black;

// The tool-bar look of the top and bottom bars: a dark vertical gradient under a thin highlight.
inline const QColor BarTop{0x2B, 0x2D, 0x31};
inline const QColor BarBottom{0x14, 0x15, 0x17};
inline const QColor BarHighlight{0x3C, 0x3F, 0x45};

// The scroll bars: background, slim track and its edge, the filled level's opacity over the
// bar's highlight colour, the track's gap to the bar's ends, and the handle's length and its
// inset from the bar's sides.
inline const QColor ScrollBarBack{0x0B, 0x0B, 0x0C};
inline const QColor ScrollBarTrack{0x1C, 0x1D, 0x20};
inline const QColor ScrollBarTrackEdge{0x30, 0x32, 0x37};
inline constexpr qreal ScrollBarLevelOpacity = 0.55;
inline constexpr qreal ScrollBarEndGap = 4.5;
inline constexpr qreal ScrollBarHandleLength = 42.0;
inline constexpr qreal ScrollBarHandleInset = 4.5;
inline const QColor ScrollBarDisabled = DimGray;

// The standard looks (edits, check boxes, push buttons) on the dark panel.
inline const QColor ThemeWindow{0x3A, 0x3D, 0x43};
inline const QColor ThemeBase{0x0C, 0x0C, 0x0D};
inline const QColor ThemeAlternateBase{0x1E, 0x1F, 0x22};
inline const QColor ThemeButton{0x2A, 0x2C, 0x30};
inline const QColor ThemeText{0xD8, 0xD8, 0xD8};
inline const QColor ThemeDisabledText{0x6A, 0x6A, 0x6A};
inline const QColor ThemeLight{0x4A, 0x4D, 0x53};
inline const QColor ThemeMid{0x24, 0x25, 0x28};
inline const QColor ThemeDark{0x0A, 0x0A, 0x0B};
inline const QColor ThemeHighlight{0x1E, 0x90, 0xFF};
inline const QColor ThemeHighlightedText{0xFF, 0xFF, 0xFF};

} // namespace Looks
