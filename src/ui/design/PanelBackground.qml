import QtQuick
import Vantorell.Design

VisualEffectBackground {
}
