#pragma once
// A picture button in one of the panel's two custom looks; it draws no caption.

#include "Looks.h"
#include "TImageList.h"
#include "TintedPicture.h"

#include <QAbstractButton>
#include <QPointer>

class TStyledButton : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(TLook Look READ Look WRITE SetLook)
    Q_PROPERTY(TImageList* ImageList READ ImageList WRITE SetImageList)
    Q_PROPERTY(QString ImageListName READ ImageListName WRITE SetImageListName)
    Q_PROPERTY(int ImageIndex READ ImageIndex WRITE SetImageIndex)
    Q_PROPERTY(TImageList* FaceList READ FaceList WRITE SetFaceList)
    Q_PROPERTY(QString FaceListName READ FaceListName WRITE SetFaceListName)
    Q_PROPERTY(qreal Opacity READ Opacity WRITE SetOpacity)
    Q_PROPERTY(bool PictureGreyed READ PictureGreyed WRITE SetPictureGreyed)
    Q_PROPERTY(bool Pending READ Pending WRITE SetPending)

public:
    // BLButton1Style: a face filling the button and a 60 x 60 picture at its right.
    // BLButtonSSStyle: one centred square picture, no face.
    enum TLook { BLButton1Style, BLButtonSSStyle };
    Q_ENUM(TLook)

    explicit TStyledButton(QWidget* parent = nullptr);

    TLook Look() const { return FLook; }
    void SetLook(TLook look);

    // The picture is entry ImageIndex of ImageList; -1 or an index outside the list shows none.
    TImageList* ImageList() const { return FImageList; }
    void SetImageList(TImageList* list);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int index);

    // The list that the face of BLButton1Style comes from.
    TImageList* FaceList() const { return FFaceList; }
    void SetFaceList(TImageList* list);

    // The name of the list bound, or of the list the layout asks for until it is bound.
    QString ImageListName() const;
    void SetImageListName(const QString& name);
    QString FaceListName() const;
    void SetFaceListName(const QString& name);

    // Opacity of the whole button together with its child controls.
    qreal Opacity() const { return FOpacity; }
    void SetOpacity(qreal opacity);

    // The picture alone in greys, a neutral look that shows neither an on nor an off state; the
    // face and child controls keep theirs.
    bool PictureGreyed() const { return FPictureGreyed; }
    void SetPictureGreyed(bool greyed);

    // A command of this button is on its way to the controller: an orange ring round the
    // button, apart from the press feedback (opacity) and the greyed picture.
    bool Pending() const { return FPending; }
    void SetPending(bool pending);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void PaintButton1(QPainter& painter);
    void PaintButtonSS(QPainter& painter);
    void PaintPicture(QPainter& painter, const QRectF& box, const TShadowLook& shadow);
    void PaintPendingRing(QPainter& painter) const;
    void ApplyOpacity();

    TLook FLook = BLButton1Style;
    QPointer<TImageList> FImageList;
    QString FImageListName;
    int FImageIndex = -1;
    QPointer<TImageList> FFaceList;
    QString FFaceListName;
    qreal FOpacity = 1.0;
    bool FPictureGreyed = false;
    TTintedPicture FGreyedPicture;
    bool FPending = false;
};
