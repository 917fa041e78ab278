#include "widgets.h"

#include "contrast.h"
#include "layout.h"
#include "theme.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QStyle>
#include <algorithm>
#include <climits>

namespace {

// The colours a text may take, with their luminances.
struct Ink {
    QRgb colour;
    double luminance;
};

Ink inkOf(QRgb colour) {
    return {colour, contrast::luminance(colour)};
}

// A colour is taken for a text with a little more contrast than it needs, so
// that the blending at the edges of its strokes cannot take it under.
constexpr double kInkContrast = contrast::kReadable + 0.1;

// The colour of a text pixel over a background of that luminance: the designed
// colour if it reads, else the design's dark or light text colour, else black
// or white (one of which reads on any background).
QRgb readableInk(const Ink& designed, double background) {
    if (contrast::ratioOfLuminances(designed.luminance, background) >= kInkContrast)
        return designed.colour;
    static const Ink dark = inkOf(theme::kText.rgb());
    static const Ink light = inkOf(theme::kTextOnBackdrop.rgb());
    const double darkRatio = contrast::ratioOfLuminances(dark.luminance, background);
    const double lightRatio = contrast::ratioOfLuminances(light.luminance, background);
    if (std::max(darkRatio, lightRatio) >= kInkContrast)
        return darkRatio >= lightRatio ? dark.colour : light.colour;
    return contrast::ratioOfLuminances(0.0, background) >=
                   contrast::ratioOfLuminances(1.0, background)
               ? qRgb(0, 0, 0)
               : qRgb(255, 255, 255);
}

// The caption's text with its long run of blanks, the one after the first
// word(s), turned into a line break.
QString withDesignedBreak(const QString& text) {
    static const QRegularExpression firstWord(QStringLiteral("\\S"));
    static const QRegularExpression longRun(QStringLiteral("  +"));
    const qsizetype start = text.indexOf(firstWord);
    if (start < 0)
        return text;
    const QRegularExpressionMatch run = longRun.match(text, start);
    if (!run.hasMatch())
        return text;
    QString broken = text;
    broken.replace(run.capturedStart(), run.capturedLength(), QString(QChar::LineSeparator));
    return broken;
}

// Lays the text out in lines of that width, one under the other.
void layOutLines(QTextLayout& layout, qreal width, Qt::Alignment alignment) {
    QTextOption option(alignment & Qt::AlignHorizontal_Mask);
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
}

// One step smaller, down to a size still worth reading; false at the end.
bool makeSmaller(QFont& font) {
    constexpr int kSmallestPixels = 6;
    if (font.pixelSize() > 0) {
        if (font.pixelSize() <= kSmallestPixels)
            return false;
        font.setPixelSize(font.pixelSize() - 1);
        return true;
    }
    if (font.pointSizeF() <= kSmallestPixels * 0.75)
        return false;
    font.setPointSizeF(font.pointSizeF() - 0.5);
    return true;
}

} // namespace

ClickablePicture::ClickablePicture(QWidget* parent) : QLabel(parent) {}

void ClickablePicture::setPicture(const QPixmap& pixmap) {
    picture_ = pixmap;
    drawn_ = QPixmap();
    update();
}

void ClickablePicture::click() {
    if (isEnabled() && !isHidden())
        emit clicked();
}

void ClickablePicture::paintEvent(QPaintEvent*) {
    if (picture_.isNull())
        return;
    // Scaled once per size: the plates are painted again under every frame of
    // the lids beneath them.
    const qreal dpr = devicePixelRatioF();
    const QSize pixels = size() * dpr;
    if (drawn_.isNull() || drawn_.size() != pixels) {
        drawn_ = picture_.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        drawn_.setDevicePixelRatio(dpr);
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, drawn_);
}

void ClickablePicture::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void ClickablePicture::mouseReleaseEvent(QMouseEvent* event) {
    const bool wasPressed = pressed_;
    pressed_ = false;
    if (wasPressed && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()) && isEnabled() && !isHidden())
        emit clicked();
    event->accept();
}

namespace {
constexpr int kRingMargin = 5;
} // namespace

FocusRing::FocusRing(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void FocusRing::follow(QWidget* control) {
    if (control != control_) {
        if (control_)
            control_->removeEventFilter(this);
        control_ = control;
        if (control_)
            control_->installEventFilter(this);
    }
    refresh();
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event) {
    if (watched == control_) {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::EnabledChange:
            refresh();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FocusRing::refresh() {
    if (!control_ || control_->parentWidget() != parentWidget() || control_->isHidden() ||
        !control_->isEnabled()) {
        hide();
        return;
    }
    setGeometry(
        control_->geometry().adjusted(-kRingMargin, -kRingMargin, kRingMargin, kRingMargin));
    raise();
    show();
    update();
}

void FocusRing::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF outer = QRectF(rect()).adjusted(2, 2, -2, -2);
    painter.setPen(QPen(QColor(20, 8, 40), 5));
    painter.drawRoundedRect(outer, 8, 8);
    painter.setPen(QPen(QColor(64, 224, 255), 3));
    painter.drawRoundedRect(outer, 8, 8);
}

BackdropCover::BackdropCover(const QPixmap* backdrop, QWidget* parent)
    : QWidget(parent), backdrop_(backdrop) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BackdropCover::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!backdrop_ || backdrop_->isNull()) {
        painter.fillRect(rect(), palette().window());
        return;
    }
    // The backdrop is drawn at the scene's origin, at the scene's size.
    const qreal dpr = backdrop_->devicePixelRatio();
    const QPoint inScene = pos() - layout::sceneOf(parentWidget()).origin;
    const QRectF source(QPointF(inScene) * dpr, QSizeF(size()) * dpr);
    painter.drawPixmap(QRectF(rect()), *backdrop_, source);
}

ReadableLabel::ReadableLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void ReadableLabel::paintEvent(QPaintEvent*) {
    if (text().isEmpty())
        return;
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (pixels.isEmpty())
        return;
    // The text's shape: how much of each pixel it covers.
    QImage shape(pixels, QImage::Format_ARGB32_Premultiplied);
    shape.setDevicePixelRatio(ratio);
    shape.fill(Qt::transparent);
    {
        QPainter painter(&shape);
        painter.setFont(QFont(font(), this));
        painter.setPen(Qt::white);
        drawTextShape(painter);
    }
    const QImage beneath = renderBeneath(pixels, ratio);
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    const Ink designed = inkOf(palette().color(group, foregroundRole()).rgb());
    for (int y = 0; y < pixels.height(); ++y) {
        auto* out = reinterpret_cast<QRgb*>(shape.scanLine(y));
        const auto* back = reinterpret_cast<const QRgb*>(beneath.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x) {
            const int coverage = qAlpha(out[x]);
            if (coverage == 0)
                continue;
            const QRgb ink = readableInk(designed, contrast::luminance(back[x]));
            out[x] = qPremultiply(qRgba(qRed(ink), qGreen(ink), qBlue(ink), coverage));
        }
    }
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), shape);
}

void ReadableLabel::drawTextShape(QPainter& painter) {
    int flags = int(QStyle::visualAlignment(layoutDirection(), alignment()));
    if (wordWrap())
        flags |= Qt::TextWordWrap;
    painter.drawText(contentsRect(), flags, text());
}

QImage ReadableLabel::renderBeneath(const QSize& pixels, qreal devicePixelRatio) {
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(palette().color(QPalette::Window));
    QWidget* parent = parentWidget();
    if (!parent)
        return image;
    const QRect place = geometry();
    parent->render(&image, QPoint(), QRegion(place), QWidget::DrawWindowBackground);
    for (QObject* object : parent->children()) {
        if (object == this)
            break;
        auto* sibling = qobject_cast<QWidget*>(object);
        if (!sibling || sibling->isWindow() || sibling->isHidden())
            continue;
        const QRect overlap = sibling->geometry() & place;
        if (!overlap.isEmpty())
            sibling->render(&image, overlap.topLeft() - place.topLeft(),
                            QRegion(overlap.translated(-sibling->pos())), QWidget::DrawChildren);
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

FittedCaption::FittedCaption(const QString& text, QWidget* parent) : ReadableLabel(text, parent) {}

const QTextLayout& FittedCaption::textLayout() {
    const QRect box = contentsRect();
    const QFont font(this->font(), this);
    if (layout_ && laidOutText_ == text() && laidOutFont_ == font && laidOutSize_ == box.size())
        return *layout_;
    laidOutText_ = text();
    laidOutFont_ = font;
    laidOutSize_ = box.size();
    // A text given in lines is centred line by line; a designed caption keeps
    // its blanks and breaks at its long run of them, as laid out in the design.
    QString shown = text();
    Qt::Alignment lineAlignment = alignment();
    if (shown.contains(QLatin1Char('\n'))) {
        shown.replace(QLatin1Char('\n'), QChar::LineSeparator);
        lineAlignment = Qt::AlignHCenter;
    } else {
        shown = withDesignedBreak(shown);
    }
    const int givenLines =
        shown.contains(QChar::LineSeparator) ? int(shown.count(QChar::LineSeparator)) + 1 : INT_MAX;
    QFont fitted = font;
    for (;;) {
        layout_ = std::make_unique<QTextLayout>(shown, fitted, this);
        layOutLines(*layout_, box.width(), lineAlignment);
        bool fits =
            layout_->lineCount() <= givenLines && layout_->boundingRect().height() <= box.height();
        for (int i = 0; i < layout_->lineCount(); ++i)
            fits = fits && layout_->lineAt(i).naturalTextWidth() <= box.width();
        if (fits || !makeSmaller(fitted))
            break;
    }
    return *layout_;
}

void FittedCaption::drawTextShape(QPainter& painter) {
    const QRect box = contentsRect();
    const QTextLayout& layout = textLayout();
    painter.setFont(layout.font());
    layout.draw(&painter, box.topLeft());
}

RoundedFrame::RoundedFrame(QColor border, int borderWidth, QColor fill, QWidget* parent)
    : QWidget(parent), border_(border), borderWidth_(borderWidth), fill_(fill) {}

void RoundedFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal half = borderWidth_ / 2.0;
    const QRectF frame = QRectF(rect()).adjusted(half, half, -half, -half);
    const qreal radius = std::min(frame.width(), frame.height()) / 4.0;
    painter.setPen(QPen(border_, borderWidth_));
    painter.setBrush(fill_);
    painter.drawRoundedRect(frame, radius, radius);
}

FocusableText::FocusableText(QWidget* parent) : QLabel(parent) {
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setFocusPolicy(Qt::StrongFocus);
}

void FocusableText::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    // A frame in the text's colour, which reads wherever the text does.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(foregroundRole()), 2));
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 4, 4);
}
