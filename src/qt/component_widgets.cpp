#include "qt/component_widgets.h"

#include <QLineEdit>
#include <QPainter>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>

#include "qt/qt_text.h"

namespace quenbo::qt {

// --- PictureBox ---

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {}

void PictureBox::setPicture(const QByteArray& bytes) {
  QPixmap picture;
  if (!bytes.isEmpty()) picture.loadFromData(bytes);
  picture_ = picture;
  update();
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (picture_.isNull()) {
    if (framed_) {
      painter.fillRect(rect(), QColor(0xF4, 0xF5, 0xF7));
      painter.setPen(QColor(0xD5, 0xD8, 0xDC));
      painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    return;
  }
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawPixmap(rect(), picture_);
}

// --- TextLabel ---

void TextLabel::setOverPicture(bool over) {
  overPicture_ = over;
  if (!over) return;
  QPalette light = palette();
  light.setColor(QPalette::WindowText, Qt::white);
  setPalette(light);
}

void TextLabel::paintEvent(QPaintEvent* event) {
  if (overPicture_) {
    if (text().isEmpty()) return;
    QPainter band(this);
    band.fillRect(rect(), QColor(0, 0, 0, 120));
  }
  const QStringList lines = text().split(QLatin1Char('\n'));
  const QFontMetrics metrics(font());
  if (lines.size() < 2 || lines.size() * metrics.lineSpacing() <= height()) {
    QLabel::paintEvent(event);
    return;
  }
  QPainter painter(this);
  const double step = static_cast<double>(height()) / lines.size();
  const int horizontal = static_cast<int>(alignment() & Qt::AlignHorizontal_Mask);
  for (qsizetype i = 0; i < lines.size(); ++i) {
    QRect band(0, static_cast<int>(i * step), width(), static_cast<int>(step) + 1);
    style()->drawItemText(&painter, band, horizontal | Qt::AlignVCenter, palette(), isEnabled(),
                          lines[i], foregroundRole());
  }
}

// --- TextBox ---

TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent), caption_(new QLabel(this)) {
  caption_->hide();
  caption_->setIndent(4);
  caption_->setAutoFillBackground(true);
  QPalette strip = caption_->palette();
  strip.setColor(QPalette::Window, QColor(0xEE, 0xF1, 0xF4));
  strip.setColor(QPalette::WindowText, QColor(0x55, 0x5B, 0x62));
  caption_->setPalette(strip);
}

void TextBox::setCaption(const QString& caption) {
  caption_->setText(caption);
  caption_->setVisible(!caption.isEmpty());
  const int strip = caption.isEmpty() ? 0 : fontMetrics().height() + 6;
  setViewportMargins(0, strip, 0, 0);
}

QString TextBox::caption() const {
  return caption_->text();
}

void TextBox::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  // The strip spans the box inside its frame, above the text and its scroll bar.
  QRect inside = contentsRect();
  caption_->setGeometry(inside.left(), inside.top(), inside.width(),
                        viewportMargins().top());
}

// --- TabControl ---

TabControl::TabControl(const std::vector<window::TabTemplate>& tabs, QWidget* parent)
    : QWidget(parent), bar_(new QTabBar(this)), pages_(new QStackedWidget(this)) {
  bar_->setDrawBase(true);
  bar_->setExpanding(false);
  bar_->setUsesScrollButtons(false);
  for (std::size_t i = 0; i < tabs.size(); ++i) {
    bar_->addTab(toQString(tabs[i].caption));
    bar_->setTabVisible(static_cast<int>(i), tabs[i].visible);
    pages_->addWidget(new QWidget(pages_));
  }
  pages_->setFrameShape(QFrame::NoFrame);
}

QWidget* TabControl::page(int index) const {
  return pages_->widget(index);
}

void TabControl::showPage(int index) {
  if (index >= 0 && index < pages_->count()) pages_->setCurrentIndex(index);
}

void TabControl::resizeEvent(QResizeEvent*) {
  bar_->setGeometry(0, 0, width(), kPageTop);
  pages_->setGeometry(0, kPageTop, width(), std::max(0, height() - kPageTop));
}

// --- StatusBar ---

StatusBar::StatusBar(const std::vector<window::StatusPartTemplate>& parts, QWidget* parent)
    : QWidget(parent) {
  int left = 0;
  for (const auto& part : parts) {
    auto* label = new QLabel(toQString(part.text), this);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setIndent(4);
    label->setGeometry(left, 0, part.width, 20);
    left += part.width;
    parts_.push_back(label);
    designedRights_.push_back(left);
  }
}

void StatusBar::resizeEvent(QResizeEvent*) {
  // The parts keep the proportions of the bar's width they have in the form.
  const int designed = designedRights_.empty() ? 0 : designedRights_.back();
  if (designed <= 0) return;
  int left = 0;
  for (std::size_t i = 0; i < parts_.size(); ++i) {
    int right = static_cast<int>(static_cast<long long>(designedRights_[i]) * width() / designed);
    parts_[i]->setGeometry(left, 0, right - left, height());
    left = right;
  }
}

void StatusBar::setPart(int index, const QString& text) {
  if (index >= 0 && index < static_cast<int>(parts_.size())) parts_[index]->setText(text);
}

QString StatusBar::part(int index) const {
  return index >= 0 && index < static_cast<int>(parts_.size()) ? parts_[index]->text() : QString();
}

// --- typing rule ---

bool typingAllowed(const window::EditStyle& style, const QString& before, const QString& after) {
  if (style.maxLength > 0 && after.size() > style.maxLength && after.size() > before.size()) {
    return false;
  }
  if (style.integerInput) {
    auto foreign = [](const QString& s) {
      return std::count_if(s.begin(), s.end(), [](QChar c) {
        return !((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-'));
      });
    };
    if (foreign(after) > foreign(before)) return false;
  }
  return true;
}

TypingValidator::TypingValidator(window::EditStyle style, QLineEdit* box)
    : QValidator(box), style_(style), accepted_(box->text()) {
  connect(box, &QLineEdit::textChanged, this, [this](const QString& text) { accepted_ = text; });
}

QValidator::State TypingValidator::validate(QString& input, int&) const {
  return typingAllowed(style_, accepted_, input) ? Acceptable : Invalid;
}

}  // namespace quenbo::qt
