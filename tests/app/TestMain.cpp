#include <gtest/gtest.h>
#include "app/App.h"

int main(int argc, char** argv) {
  UserInterfaceLayer layer;
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
