// The video area: the latest picture in its own shape, black around it and whenever there is
// none, and over it what the player says (PlayerWords).
#pragma once

#include <QHash>
#include <QImage>
#include <QString>
#include <QWidget>

namespace ui
{

class PlayerWords;
class VideoFrames;

class VideoView : public QWidget
{
    Q_OBJECT

public:
    VideoView(VideoFrames *frames, QWidget *parent);

    // Width over height on screen of the pictures of output `format`; 0 while not known. A
    // picture is not drawn before its shape is known.
    double aspect(int format) const { return m_aspects.value(format, 0.0); }
    void setAspect(int format, double aspect);
    void clearAspects();
    // The words shown instead of a picture: a first line, and below it a detail (the address),
    // cut in the middle to fit. Empty for none.
    void setWords(const QString &words);
    PlayerWords *words() const { return m_words; }
    // A picture kept on screen while the pictures are gone (a live stream joined again), and its
    // width over height on screen; a null image for none.
    void setStill(const QImage &picture, double aspect);
    // The picture shown now in the shape it is shown (for keeping it); null when none.
    QImage shownNow(double *aspect);
    // Whether the area shows a picture now (black otherwise).
    bool hasPicture();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // What the area shows: the picture and where; a null image when nothing.
    QImage shownPicture(const QRect &area, QRect *target);

    VideoFrames *m_frames;
    PlayerWords *m_words;
    QHash<int, double> m_aspects;
    QImage m_still;
    double m_stillAspect = 0.0;
};

} // namespace ui
