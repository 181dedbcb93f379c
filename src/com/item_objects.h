// Property and Feature: the item classes of the Properties and Features
// collections. They have no members of their own.
#pragma once

#include "com/automation_object.h"
#include "com/quillon_h.h"

namespace quillon::com {

class PropertyObject : public AutomationObject<IProperty, &IID_IProperty> {
public:
    explicit PropertyObject(IUnknown* outer) : AutomationObject(outer) {}
};

class FeatureObject : public AutomationObject<IFeature, &IID_IFeature> {
public:
    explicit FeatureObject(IUnknown* outer) : AutomationObject(outer) {}
};

}  // namespace quillon::com
