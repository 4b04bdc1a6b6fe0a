// The keyboard map of the form. Every key is seen here before the focused
// control; function keys act and are consumed, other keys act and go on.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSlider>

#include "form/CMorvaneView.h"
#include "form/Prompter.h"

namespace morvane::form {

using station::StationField;

namespace {

// The fields whose text Page Down puts back after F1 to F3 emptied them.
constexpr std::pair<int, StationField> kRestorableFields[] = {{1027, StationField::HisCall},
                                                              {1028, StationField::HisName},
                                                              {1029, StationField::HisQTH},
                                                              {1201, StationField::RcvdNR}};

}  // namespace

bool CMorvaneView::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    switch (event->type()) {
        case QEvent::FocusIn:
            SetFieldFocus(widget, true);
            break;
        case QEvent::FocusOut:
            SetFieldFocus(widget, false);
            for (const auto& [id, field] : kRestorableFields)
                if (widget == Control(id) && !ControlAs<QLineEdit>(id)->text().isEmpty())
                    previousField_[field] = ControlAs<QLineEdit>(id)->text();
            break;
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride:
            // Only the first delivery to the focused control counts; a key
            // passed on to its parents is not handled twice.
            if (widget && widget == QApplication::focusWidget() && isAncestorOf(widget)) {
                auto* key = static_cast<QKeyEvent*>(event);
                if (event->type() == QEvent::ShortcutOverride) {
                    // F-keys must reach the map even when a menu shortcut would take them.
                    if (key->key() >= Qt::Key_F1 && key->key() <= Qt::Key_F12) {
                        event->accept();
                        return true;
                    }
                    break;
                }
                if (HandleKey(key))
                    return true;
            }
            break;
        case QEvent::MouseMove:
            // Controls take the moves over them; the help still follows the mouse.
            if (widget && widget != this && widget->isWindow() == false && isAncestorOf(widget)) {
                const QPoint at =
                    widget->mapTo(this, static_cast<QMouseEvent*>(event)->position().toPoint());
                ShowHelpAt(at);
            }
            break;
        case QEvent::KeyRelease:
            if (widget && widget == QApplication::focusWidget() && isAncestorOf(widget)) {
                auto* key = static_cast<QKeyEvent*>(event);
                if (!key->isAutoRepeat()) {
                    shiftHeld_ = false;
                    ctrlHeld_ = false;
                    station_->KeyReleased();
                }
            }
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

bool CMorvaneView::HandleKey(QKeyEvent* event) {
    const int key = event->key();
    // Shift and Ctrl count from their own key-down to the next release of
    // any key, not by the modifier state: F1 then F2 with Shift still held
    // sends macro 1, then acts as plain F2.
    const bool shift = shiftHeld_;
    const bool ctrl = ctrlHeld_;
    auto focusBack = [this] {
        if (!FieldHasFocus())
            FocusTxEdit();
    };
    auto emptyAndFocus = [this](int id, StationField field) {
        station_->SetField(field, "");
        ControlAs<QLineEdit>(id)->clear();
        Control(id)->setFocus();
    };
    auto toggle = [this](int id) { ControlAs<QAbstractButton>(id)->click(); };

    if (key == Qt::Key_Shift) {
        shiftHeld_ = true;
        return false;
    }
    if (key == Qt::Key_Control) {
        ctrlHeld_ = true;
        return false;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12 && shift) {
        station_->FireMacro(key - Qt::Key_F1 + 1);
        PumpNow();
        return true;
    }
    const bool contest = station_->Document().Entry(Index(EntryId::ContestMode)) == "ContestON";
    if (key >= Qt::Key_F1 && key <= Qt::Key_F4 && ctrl) {
        station_->RequestFromHamlog(key - Qt::Key_F1 + 1);
        PumpNow();
        return true;
    }
    switch (key) {
        case Qt::Key_F1:
            emptyAndFocus(1027, StationField::HisCall);
            return true;
        case Qt::Key_F2:
            if (contest)
                focusBack();
            else
                emptyAndFocus(1028, StationField::HisName);
            return true;
        case Qt::Key_F3:
            if (contest)
                Control(1201)->setFocus();
            else
                emptyAndFocus(1029, StationField::HisQTH);
            return true;
        case Qt::Key_F4:
            station_->CaptureCall();
            PumpNow();
            return true;
        case Qt::Key_F5:
            station_->ResetSpeedMeasurement();
            return true;
        case Qt::Key_F6:
            if (ctrl) {
                if (prompter_.AskYesNoCancel(this,
                                             QStringLiteral("TX枠とRX枠内を削除しますか？")) ==
                    Prompter::Answer::Yes) {
                    station_->TxClear();
                    station_->ClearReceive();
                    PumpNow();
                }
                return true;
            }
            station_->QsoTransfer();
            PumpNow();
            if (station_->Options().Options[2] != 'F')
                FocusTxEdit();
            return true;
        case Qt::Key_F7:
            if (ctrl)
                toggle(1280);
            else {
                station_->SaveTransfer();
                PumpNow();
                focusBack();
            }
            return true;
        case Qt::Key_F8:
            if (ctrl)
                toggle(1127);
            else
                toggle(ControlAs<QAbstractButton>(1019)->isChecked() ? 1018 : 1019);
            return true;
        case Qt::Key_F9:
            if (ctrl) {
                station_->StoreSpeedPreset();
            } else if (station_->AutoCqRunning()) {
                station_->TxClear();
                PumpNow();
                focusBack();
            } else {
                toggle(1047);
            }
            return true;
        case Qt::Key_F10:
            if (ctrl)
                station_->RecallSpeedPreset();
            else
                station_->SpeedDown();
            ControlAs<QSlider>(1001)->setValue(station_->SpeedStep());
            return true;
        case Qt::Key_F11:
            if (ctrl)
                MatchReceiveSpeed();
            else
                station_->SpeedUp();
            ControlAs<QSlider>(1001)->setValue(station_->SpeedStep());
            return true;
        case Qt::Key_F12:
            if (!event->isAutoRepeat())
                station_->ManualKeyDown();
            return true;
        case Qt::Key_Escape:
        case Qt::Key_Pause:
            if (shift) {
                ControlAs<QAbstractButton>(1035)->click();
            } else if (key == Qt::Key_Escape) {
                station_->ClearQso();
                focusBack();
            } else {
                toggle(1047);
            }
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (QApplication::focusWidget() == Control(1027)) {
                station_->LookupHisCall();
                PumpNow();
                FocusTxEdit();
                return true;
            }
            return false;
        case Qt::Key_PageDown:
        case Qt::Key_Down:
            for (const auto& [id, field] : kRestorableFields)
                if (QApplication::focusWidget() == Control(id)) {
                    auto* edit = ControlAs<QLineEdit>(id);
                    if (edit->text().isEmpty() && previousField_.count(field)) {
                        edit->setText(previousField_[field]);
                        station_->SetField(field, edit->text().toStdString());
                    }
                    return true;
                }
            bank_ = bank_ == 1 ? 2 : 1;
            station_->SetBank(bank_);
            return key == Qt::Key_PageDown || QApplication::focusWidget() == transmit_;
        default:
            return false;
    }
}

}  // namespace morvane::form
