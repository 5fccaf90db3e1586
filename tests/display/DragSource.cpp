// A stand-in for another program's window that files or text are dragged out of, for the
// tests on a real X display. A press and a move on the window start one drag:
//   vantory_drag_source --files PATH...   local files, as text/uri-list
//   vantory_drag_source --text STRING     plain text only
// The paths are taken as the bytes given, so names that are not UTF-8 reach the target as
// they are on disk. Keys typed into the window are reported, as "key" and their text, so a
// test can tell that typing meant for another window arrived here.
#include <QApplication>
#include <QDrag>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>

#include <cstdio>
#include <memory>

namespace {

void report(const QByteArray& line)
{
    std::fprintf(stdout, "%s\n", line.constData());
    std::fflush(stdout);
}

QByteArray fileUriList(const QList<QByteArray>& paths)
{
    QByteArray list;
    for (const QByteArray& path : paths) {
        const QUrl url = QUrl::fromEncoded("file://" + path.toPercentEncoding("/"), QUrl::StrictMode);
        list += url.toEncoded() + "\r\n";
    }
    return list;
}

std::unique_ptr<QMimeData> payloadFromArguments(int argc, char** argv)
{
    if (argc >= 3 && qstrcmp(argv[1], "--text") == 0) {
        auto data = std::make_unique<QMimeData>();
        data->setText(QString::fromLocal8Bit(argv[2]));
        return data;
    }
    if (argc >= 3 && qstrcmp(argv[1], "--files") == 0) {
        QList<QByteArray> paths;
        for (int i = 2; i < argc; ++i)
            paths.append(QByteArray(argv[i]));
        auto data = std::make_unique<QMimeData>();
        data->setData(QStringLiteral("text/uri-list"), fileUriList(paths));
        return data;
    }
    return nullptr;
}

class DragSourceWindow : public QWidget {
public:
    explicit DragSourceWindow(std::unique_ptr<QMimeData> payload) : m_payload(std::move(payload))
    {
        setWindowTitle(QStringLiteral("Drag source"));
        setFixedSize(160, 120);
        setStyleSheet(QStringLiteral("background: #3a6ea5;"));
        setFocusPolicy(Qt::StrongFocus);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override { report("key " + event->text().toUtf8()); }

    void mousePressEvent(QMouseEvent* event) override { m_pressPosition = event->position().toPoint(); }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!m_payload || !(event->buttons() & Qt::LeftButton))
            return;
        if ((event->position().toPoint() - m_pressPosition).manhattanLength() < QApplication::startDragDistance())
            return;
        auto* drag = new QDrag(this);
        drag->setMimeData(m_payload.release());
        // The harness paces its mouse on these lines: it releases only once a target said yes.
        connect(drag, &QDrag::actionChanged, this, [](Qt::DropAction action) {
            if (action != Qt::IgnoreAction)
                report("target accepts");
        });
        report("drag started");
        const Qt::DropAction result = drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction);
        report(QByteArray("drag finished with action ") + QByteArray::number(int(result)));
    }

private:
    std::unique_ptr<QMimeData> m_payload;
    QPoint m_pressPosition;
};

} // namespace

int main(int argc, char** argv)
{
    // Read before QApplication, which may take arguments out of argv.
    auto payload = payloadFromArguments(argc, argv);
    QApplication app(argc, argv);
    if (!payload) {
        std::fprintf(stderr, "usage: %s --files PATH... | --text STRING\n", argv[0]);
        return 2;
    }
    DragSourceWindow window(std::move(payload));
    window.move(40, 200);
    window.show();
    return app.exec();
}
