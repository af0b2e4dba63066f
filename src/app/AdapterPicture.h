#pragma once
#include <QIcon>

// The picture of an adapter that the lens button shows above its label.
QIcon adapterPicture();
