// The window's reader-mode setting: a small checkable button in the free
// corner of the options frame, whose menu turns the mode on and off and
// chooses the page budget. Remembered between runs (QSettings).
#pragma once

#include <QToolButton>

#include "builder/book_builder.h"

class QActionGroup;

namespace quillet {

inline constexpr const char* kReaderModeCaption = "Modo lector / Reader mode";

class ReaderSetting : public QToolButton {
  Q_OBJECT

 public:
  explicit ReaderSetting(QWidget* parent);

  bool IsOn() const { return isChecked(); }
  int MaxKb() const { return maxKb_; }
  // The whole mode under the chosen budget when on; all off otherwise.
  ReaderMode Mode() const;
  // Page budgets the menu offers, in KB.
  static const std::vector<int>& Budgets();
  void SetOn(bool on);
  void SetMaxKb(int kb);

 signals:
  // The mode or its budget changed, by the user or by the program.
  void changed();

 private:
  void Save() const;

  int maxKb_;
  QAction* onAction_;
  QActionGroup* budgets_;
};

}  // namespace quillet
