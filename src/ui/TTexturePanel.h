#pragma once

#include <QPixmap>
#include <QWidget>

#include <cstdint>

namespace daubix::app {
struct TextureState;
}

namespace daubix::ui {

// A panel filled with the texture tile, repeated from its top-left corner, within the frame of an
// ordinary panel: an outer bevel, a border in the panel's colour and an inner bevel, the bevels in the
// light and dark of that colour (exchanged when lowered). A caption, when there is one, is drawn over
// the tile where its alignment puts it. The tile and the colour are the document's; the frame and the
// caption belong to the panel.
class TTexturePanel : public QWidget {
    Q_OBJECT
public:
    enum class Bevel : std::uint8_t { None, Lowered, Raised };

    TTexturePanel(const app::TextureState& state, QWidget* parent = nullptr);

    void setBevelOuter(Bevel bevel);
    void setBevelInner(Bevel bevel);
    void setBevelWidth(int width);
    void setBorderWidth(int width);
    void setCaption(const QString& caption);
    void setAlignment(Qt::Alignment horizontal);
    Bevel bevelOuter() const { return m_bevelOuter; }
    const QString& caption() const { return m_caption; }

    // Takes the document's tile again when it is a new one, and repaints.
    void tileChanged();
    // The area the tile fills: the panel within its frame.
    QRect inside() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const app::TextureState& m_state;
    QPixmap m_tile;
    int m_revision = -1;
    Bevel m_bevelOuter = Bevel::Raised;
    Bevel m_bevelInner = Bevel::None;
    int m_bevelWidth = 1;
    int m_borderWidth = 0;
    QString m_caption;
    Qt::Alignment m_alignment = Qt::AlignHCenter;
};

} // namespace daubix::ui
