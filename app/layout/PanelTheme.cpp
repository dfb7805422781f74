#include "PanelTheme.h"

#include "Looks.h"

#include <QPalette>
#include <QWidget>

void ApplyPanelTheme(QWidget* form) {
    QPalette palette = form->palette();
    palette.setColor(QPalette::Window, Looks::ThemeWindow);
    palette.setColor(QPalette::WindowText, Looks::ThemeText);
    palette.setColor(QPalette::Base, Looks::ThemeBase);
    palette.setColor(QPalette::AlternateBase, Looks::ThemeAlternateBase);
    palette.setColor(QPalette::Text, Looks::ThemeText);
    palette.setColor(QPalette::Button, Looks::ThemeButton);
    palette.setColor(QPalette::ButtonText, Looks::ThemeText);
    palette.setColor(QPalette::BrightText, Looks::ThemeHighlightedText);
    palette.setColor(QPalette::Light, Looks::ThemeLight);
    palette.setColor(QPalette::Midlight, Looks::ThemeButton);
    palette.setColor(QPalette::Mid, Looks::ThemeMid);
    palette.setColor(QPalette::Dark, Looks::ThemeDark);
    palette.setColor(QPalette::Shadow, Looks::ThemeDark);
    palette.setColor(QPalette::Highlight, Looks::ThemeHighlight);
    palette.setColor(QPalette::HighlightedText, Looks::ThemeHighlightedText);
    palette.setColor(QPalette::ToolTipBase, Looks::ThemeButton);
    palette.setColor(QPalette::ToolTipText, Looks::ThemeText);
    palette.setColor(QPalette::PlaceholderText, Looks::ThemeDisabledText);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, Looks::ThemeDisabledText);
    }
    form->setPalette(palette);
}
