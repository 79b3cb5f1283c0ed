#include "builder/window/reader_setting.h"

#include <QActionGroup>
#include <QMenu>
#include <QSettings>
#include <algorithm>
#include <memory>

#include "builder/reader/reader_book.h"

namespace quillet {
namespace {

constexpr const char* kOnKey = "reader/on";
constexpr const char* kMaxKbKey = "reader/maxKb";

// In the user's configuration folder (XDG_CONFIG_HOME): Quillet/quillet.ini.
std::unique_ptr<QSettings> Settings() {
  return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                     QStringLiteral("Quillet"), QStringLiteral("quillet"));
}

}  // namespace

const std::vector<int>& ReaderSetting::Budgets() {
  static const std::vector<int> budgets{50, reader::kDefaultMaxKb, 200, 300, 500};
  return budgets;
}

ReaderSetting::ReaderSetting(QWidget* parent) : QToolButton(parent), maxKb_(reader::kDefaultMaxKb) {
  setCheckable(true);
  setPopupMode(QToolButton::MenuButtonPopup);
  setToolTip(QString::fromUtf8(kReaderModeCaption));
  setAccessibleName(QString::fromUtf8(kReaderModeCaption));

  auto* menu = new QMenu(this);
  onAction_ = menu->addAction(QString::fromUtf8(kReaderModeCaption));
  onAction_->setCheckable(true);
  menu->addSection(QString::fromUtf8("Páginas de hasta / Pages up to"));
  budgets_ = new QActionGroup(this);
  for (int kb : Budgets()) {
    QAction* budget = menu->addAction(QString::number(kb) + QStringLiteral(" KB"));
    budget->setCheckable(true);
    budget->setData(kb);
    budgets_->addAction(budget);
  }
  setMenu(menu);

  const std::unique_ptr<QSettings> settings = Settings();
  const int saved = settings->value(kMaxKbKey, reader::kDefaultMaxKb).toInt();
  SetMaxKb(std::find(Budgets().begin(), Budgets().end(), saved) != Budgets().end()
               ? saved
               : reader::kDefaultMaxKb);
  SetOn(settings->value(kOnKey, false).toBool());

  connect(this, &QToolButton::toggled, this, [this](bool on) {
    onAction_->setChecked(on);
    Save();
    emit changed();
  });
  connect(onAction_, &QAction::triggered, this, [this](bool on) { setChecked(on); });
  connect(budgets_, &QActionGroup::triggered, this, [this](QAction* budget) {
    maxKb_ = budget->data().toInt();
    // Choosing a budget is asking for the mode.
    if (!isChecked()) {
      setChecked(true);
      return;
    }
    Save();
    emit changed();
  });
}

ReaderMode ReaderSetting::Mode() const {
  if (!IsOn()) return {};
  ReaderMode mode = ReaderMode::All();
  mode.maxKb = maxKb_;
  return mode;
}

void ReaderSetting::SetOn(bool on) {
  onAction_->setChecked(on);
  setChecked(on);
}

void ReaderSetting::SetMaxKb(int kb) {
  maxKb_ = kb;
  for (QAction* budget : budgets_->actions()) budget->setChecked(budget->data().toInt() == kb);
}

void ReaderSetting::Save() const {
  const std::unique_ptr<QSettings> settings = Settings();
  settings->setValue(kOnKey, IsOn());
  settings->setValue(kMaxKbKey, maxKb_);
}

}  // namespace quillet
