#pragma once

#include <QColor>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QTextLayout>
#include <QTimer>
#include <functional>
#include <memory>

// A picture that can be clicked (a case plate, the title logo). It looks the same
// whether enabled or not; only an enabled, shown picture reports clicks.
class ClickablePicture final : public QLabel {
    Q_OBJECT
  public:
    explicit ClickablePicture(QWidget* parent = nullptr);
    void setPicture(const QPixmap& pixmap);
    [[nodiscard]] const QPixmap& picture() const { return picture_; }
    // Reports a click as the mouse would: only when enabled and shown.
    void click();

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QPixmap picture_;
    QPixmap drawn_; // the picture at the size drawn
    bool pressed_ = false;
};

// The keyboard focus drawn as a ring round the control it follows, a little
// outside it; it takes no clicks. It keeps to the control's place and hides
// while the control is hidden or disabled, or when it follows none.
class FocusRing final : public QWidget {
  public:
    explicit FocusRing(QWidget* parent);
    void follow(QWidget* control);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void refresh();

    QPointer<QWidget> control_;
};

// An opaque cover: it hides whatever lies beneath it by painting the window's
// backdrop (drawn at the window's scene) over its rectangle (or the plain window colour when there
// is none).
class BackdropCover final : public QWidget {
  public:
    BackdropCover(const QPixmap* backdrop, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const QPixmap* backdrop_;
};

// A rounded frame: a border of some width around an opaque fill.
class RoundedFrame final : public QWidget {
  public:
    RoundedFrame(QColor border, int borderWidth, QColor fill, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor border_;
    int borderWidth_;
    QColor fill_;
};

// A text that reads on whatever lies behind it at the moment it is drawn: a plate
// still unfolding, a panel leaving, the bare backdrop. Each pixel of the text is
// drawn in the label's own colour where that stands out from what lies beneath
// by 4.5:1 or more (WCAG 2 AA); elsewhere in the design's dark or light text
// colour, whichever stands out more, and in black or white where neither does.
// What lies beneath is the parent's painting and the siblings stacked under the
// label, rendered at its place each time it is drawn.
class ReadableLabel : public QLabel {
    Q_OBJECT
  public:
    explicit ReadableLabel(const QString& text, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
    // Draws the text's shape with painter, whose font and pen are set; what it
    // covers is then coloured pixel by pixel.
    virtual void drawTextShape(QPainter& painter);

  private:
    [[nodiscard]] QImage renderBeneath(const QSize& pixels, qreal devicePixelRatio);
};

// A caption drawn in the lines its text gives ("\n" between them), each line
// centred and whole; a text without a break keeps its blanks and breaks at its
// long run of them (the counter panel's Russian captions: "           чемодана"
// over "до предложения банка"), else it is wrapped at the label's width.
// Where a line would be too wide (or the lines too tall) in the label's font,
// the font is made smaller until they fit: the counter panel's words and the
// banker's offer, whose texts differ in length from language to language.
class FittedCaption final : public ReadableLabel {
    Q_OBJECT
  public:
    explicit FittedCaption(const QString& text, QWidget* parent = nullptr);
    // The caption laid out as it is drawn: at the label's width, one line for
    // each line of the text.
    [[nodiscard]] const QTextLayout& textLayout();

  protected:
    void drawTextShape(QPainter& painter) override;

  private:
    std::unique_ptr<QTextLayout> layout_;
    QString laidOutText_;
    QFont laidOutFont_;
    QSize laidOutSize_;
};

// A text a screen reader's user reaches with Tab: it takes the focus, shows a
// focus frame while it has it, and is read by its accessible name.
class FocusableText final : public QLabel {
    Q_OBJECT
  public:
    explicit FocusableText(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};
