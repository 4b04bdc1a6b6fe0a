// Clicks on the areas the form draws or labels, and the hover help; all
// positions are tested in the reference layout scaled to the real form.
#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>

#include "form/CMorvaneView.h"
#include "form/FormControls.h"
#include "receive/ToneDisplay.h"
#include "receive/ToneLabels.h"

namespace morvane::form {

namespace {

PixelPoint DevicePoint(QPointF pos, double ratio) {
    return {pos.x() * ratio, pos.y() * ratio};
}

}  // namespace

void CMorvaneView::mousePressEvent(QMouseEvent* event) {
    const FormScale scale = Scale();
    const PixelPoint p = DevicePoint(event->position(), devicePixelRatioF());
    const ClickHit hit = HitTest(p, scale);
    if (event->button() == Qt::RightButton) {
        if (hit.Area == ClickArea::AutoCq)
            EditMacro(0);
        else if (hit.Area == ClickArea::MacroLabel)
            EditMacro(hit.Label);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    switch (hit.Area) {
        case ClickArea::Weather:
            ToggleWeather();
            break;
        case ClickArea::Temperature:
            ToggleTemperature();
            break;
        case ClickArea::AutoCq:
            if (!station_->AutoCqRunning()) {
                station_->StartAutoCq();
                PumpNow();
            }
            break;
        case ClickArea::MacroLabel:
            // Pressed look until the button is released.
            macroLabels_[static_cast<std::size_t>(hit.Label)]->setEnabled(false);
            station_->FireMacro(hit.Label);
            PumpNow();
            break;
        case ClickArea::LevelDisplay:
            ClickThreshold(p.y);
            break;
        case ClickArea::Spectrum:
            ClickSpectrum(p.x);
            break;
        case ClickArea::None:
            QWidget::mousePressEvent(event);
            break;
    }
}

void CMorvaneView::mouseReleaseEvent(QMouseEvent* event) {
    if (ReleaseEnablesLabels(DevicePoint(event->position(), devicePixelRatioF()), Scale()))
        for (int label = 1; label <= 15; ++label)
            macroLabels_[static_cast<std::size_t>(label)]->setEnabled(true);
    QWidget::mouseReleaseEvent(event);
}

void CMorvaneView::ClickThreshold(double y) {
    const int threshold = ThresholdAt(y, Scale());
    ControlAs<QAbstractButton>(1280)->setChecked(false);
    station_->ChangeSetting(EntryId::AutoThreshold, "ThreOFF");
    station_->ChangeSetting(EntryId::ThresholdDb, std::to_string(threshold));
    ControlAs<QLabel>(1082)->setText(QStringLiteral("Threshold %1db").arg(threshold));
    if (auto* chain = station_->Chain())
        if (chain->Options().LevelDisplayMode == receive::LevelMode::CW)
            chain->Options().RedrawLevelDisplay = true;
}

void CMorvaneView::ClickSpectrum(double x) {
    const auto* chain = station_->Chain();
    const bool high = chain ? chain->Options().SpectrumHighRange.load() : true;
    const int bin = receive::SpectrumLowBin(high) + SpectrumColumnAt(x, Scale());
    const std::string hz = receive::ToneLabelHz(bin);
    if (hz.empty())
        return;
    ControlAs<QAbstractButton>(1127)->setChecked(false);
    station_->ChangeSetting(EntryId::ToneCentre, hz.substr(0, hz.size() - 2));
    ControlAs<QLabel>(1249)->setText(QString::fromStdString(hz));
}

// Help id under a form position: the first table control containing it,
// the macro labels and the Auto CQ label by their own rectangles.
int CMorvaneView::HelpIdAt(QPoint pos) const {
    const FormScale scale = Scale();
    const PixelPoint p = DevicePoint(pos, devicePixelRatioF());
    if (kAutoCqLabel.Contains(p, scale))
        return kAutoCqHelp;
    for (int label = 1; label <= 15; ++label)
        if (MacroLabelRect(label).Contains(p, scale))
            return bank_ == 2 ? kAutoCqHelp + label : kFirstMacroHelp + label - 1;
    for (const auto& c : kFormControls) {
        if (c.Help == 0)
            continue;
        const RefRect r{c.X, c.Y, c.X + c.W, c.Y + c.H};
        QWidget* w = Control(c.Id);
        if (r.Contains(p, scale) && (!w || w->isVisible()))
            return c.Help;
    }
    return 0;
}

void CMorvaneView::ShowHelp(int helpId) {
    shownHelpId_ = helpId;
    QString text;
    // The labels show what they would send, from the bank shown.
    if (helpId == kAutoCqHelp) {
        text = QString::fromStdString(station_->MacroHoverText(0));
    } else if (helpId >= kFirstMacroHelp && helpId < kFirstMacroHelp + 15) {
        text = QString::fromStdString(station_->MacroHoverText(helpId - kFirstMacroHelp + 1));
    } else if (helpId > kAutoCqHelp) {
        text = QString::fromStdString(station_->MacroHoverText(helpId - kAutoCqHelp));
    } else if (helpId > 0) {
        text = QString::fromUtf8(
            kHelpTexts[static_cast<std::size_t>(helpId)].data(),
            static_cast<qsizetype>(kHelpTexts[static_cast<std::size_t>(helpId)].size()));
    }
    if (text.isEmpty() && (helpId == 0 || helpId < kFirstMacroHelp ||
                           (helpId >= kFirstMacroHelp + 15 && helpId < kAutoCqHelp)))
        text = QString::fromUtf8(kReadyText.data(), static_cast<qsizetype>(kReadyText.size()));
    shownHelp_ = text;
    emit HelpShown(text);
}

void CMorvaneView::ShowHelpAt(QPoint pos) {
    // Qt has no separate hover message: the first move inside is the hover.
    hoverActive_ = true;
    const int id = HelpIdAt(pos);
    if (id != shownHelpId_)
        ShowHelp(id);
}

void CMorvaneView::mouseMoveEvent(QMouseEvent* event) {
    ShowHelpAt(event->position().toPoint());
    QWidget::mouseMoveEvent(event);
}

void CMorvaneView::leaveEvent(QEvent* event) {
    hoverActive_ = false;
    QWidget::leaveEvent(event);
}

void CMorvaneView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOutMonitor(monitorMode_ == 'T');
}

}  // namespace morvane::form
