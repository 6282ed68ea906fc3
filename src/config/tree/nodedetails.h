#pragma once

#include <QString>

struct CategoryNode;
struct Item;

// What the details panel beside the tree says about a node.
namespace NodeDetails {

QString createdLine(const Item &item);
inline const QString kCategoryHeading = QStringLiteral("Category Properties:");
// The category's item count, limit, lock, after-paste action and paste method, one per line.
QString categorySummary(const CategoryNode &category);

} // namespace NodeDetails
