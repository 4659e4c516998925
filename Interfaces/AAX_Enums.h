// Enumerations shared by the plug-in and the host. Values the library itself interprets are marked; every
// other value only has to agree between the plug-in and whatever plays the host.
#pragma once

#include "AAX.h"

//==============================================================================
// Properties of effects, algorithms and meters (numbers stored in host property maps). Property maps are
// copied over the range AAX_eProperty_MinProp..AAX_eProperty_MaxProp, so every property lies inside it.
enum AAX_EProperty : int32_t
{
    AAX_eProperty_NoID = 0,
    AAX_eProperty_MinProp = 10,

    AAX_eProperty_ManufacturerID = 10,
    AAX_eProperty_ProductID = 11,
    AAX_eProperty_PlugInID_Native = 13,     // interpreted: asks for a native procedure
    AAX_eProperty_PlugInID_AudioSuite = 14, // interpreted: asks for a native procedure
    AAX_eProperty_PlugInID_TI = 15,         // interpreted: asks for a TI procedure

    AAX_eProperty_CanBypass = 20,
    AAX_eProperty_SupportsSaveRestore = 21,
    AAX_eProperty_Constraint_AlwaysProcess = 22,
    AAX_eProperty_Constraint_MultiMonoSupport = 23,
    AAX_eProperty_Constraint_DoNotApplyDefaultSettings = 24,
    AAX_eProperty_ObservesTransportState = 25,
    AAX_eProperty_UsesClientGUI = 26,
    AAX_eProperty_LatencyContribution = 27,

    // Procedure pointers and names, interpreted by the manual procedure registration.
    AAX_eProperty_NativeProcessProc = 36,
    AAX_eProperty_NativeInstanceInitProc = 37,
    AAX_eProperty_NativeBackgroundProc = 38,
    AAX_eProperty_TIDLLFileName = 39,
    AAX_eProperty_TIProcessProc = 40,
    AAX_eProperty_TIInstanceInitProc = 41,
    AAX_eProperty_TIBackgroundProc = 42,

    AAX_eProperty_InputStemFormat = 51,  // interpreted: stem-format check of AddProperty
    AAX_eProperty_OutputStemFormat = 52, // interpreted: stem-format check of AddProperty
    AAX_eProperty_SideChainStemFormat = 53,
    AAX_eProperty_NativeAudioBufferLength = 54, // interpreted: removed before a manual native registration
    AAX_eProperty_SupportsSideChainInput = 55,
    AAX_eProperty_HybridOutputStemFormat = 56,

    AAX_eProperty_Meter_Type = 70,
    AAX_eProperty_Meter_Orientation = 71,
    AAX_eProperty_Meter_Ballistics = 72,

    AAX_eProperty_MaxProp = 401
};

//==============================================================================
// Stem formats: the channel layout index in the upper 16 bits (signed), the channel count in the lower 16.
#define AAX_STEM_FORMAT(index, channels)                                                                               \
    ((int32_t)((((uint32_t)(uint16_t)(int16_t)(index)) << 16) | ((uint32_t)(uint16_t)(channels))))
#define AAX_STEM_FORMAT_CHANNEL_COUNT(format) ((uint16_t)(((uint32_t)(format)) & 0xFFFFu))
#define AAX_STEM_FORMAT_INDEX(format) ((int16_t)((((uint32_t)(format)) >> 16) & 0xFFFFu))

enum AAX_EStemFormat : int32_t
{
    AAX_eStemFormat_Mono = AAX_STEM_FORMAT(0, 1),
    AAX_eStemFormat_Stereo = AAX_STEM_FORMAT(1, 2),
    AAX_eStemFormat_LCR = AAX_STEM_FORMAT(2, 3),
    AAX_eStemFormat_LCRS = AAX_STEM_FORMAT(3, 4),
    AAX_eStemFormat_Quad = AAX_STEM_FORMAT(4, 4),
    AAX_eStemFormat_5_0 = AAX_STEM_FORMAT(5, 5),
    AAX_eStemFormat_5_1 = AAX_STEM_FORMAT(6, 6),
    AAX_eStemFormat_6_0 = AAX_STEM_FORMAT(7, 6),
    AAX_eStemFormat_6_1 = AAX_STEM_FORMAT(8, 7),
    AAX_eStemFormat_7_0_SDDS = AAX_STEM_FORMAT(9, 7),
    AAX_eStemFormat_7_1_SDDS = AAX_STEM_FORMAT(10, 8),
    AAX_eStemFormat_7_0_DTS = AAX_STEM_FORMAT(11, 7),
    AAX_eStemFormat_7_1_DTS = AAX_STEM_FORMAT(12, 8),
    // From here on the host must declare support (see the stem-format rule of the property map).
    AAX_eStemFormat_7_0_2 = AAX_STEM_FORMAT(13, 9),
    AAX_eStemFormat_7_1_2 = AAX_STEM_FORMAT(14, 10),
    AAX_eStemFormat_Ambi_1_ACN = AAX_STEM_FORMAT(15, 4),
    AAX_eStemFormat_Ambi_2_ACN = AAX_STEM_FORMAT(16, 9),
    AAX_eStemFormat_Ambi_3_ACN = AAX_STEM_FORMAT(17, 16),
    AAX_eStemFormat_Reserved_1 = AAX_STEM_FORMAT(18, 0),
    AAX_eStemFormat_Reserved_2 = AAX_STEM_FORMAT(19, 0),
    AAX_eStemFormat_Reserved_3 = AAX_STEM_FORMAT(20, 0),

    AAX_eStemFormatNum = 21, // number of layouts above

    AAX_eStemFormat_None = AAX_STEM_FORMAT(-1, 0),  // 0xFFFF0000
    AAX_eStemFormat_Any = AAX_STEM_FORMAT(-100, 0), // 0xFF9C0000
    AAX_eStemFormat_INT32_MAX = 0x7FFFFFFF
};

//==============================================================================
// Algorithm description.
enum AAX_EDataInPortType : int32_t
{
    AAX_eDataInPortType_Unbuffered = 0,
    AAX_eDataInPortType_Buffered = 1,
    AAX_eDataInPortType_Incremental = 2
};

enum AAX_EMIDINodeType : int32_t
{
    AAX_eMIDINodeType_LocalInput = 0,
    AAX_eMIDINodeType_LocalOutput = 1,
    AAX_eMIDINodeType_Global = 2,
    AAX_eMIDINodeType_Transport = 3
};

enum AAX_EResourceType : int32_t
{
    AAX_eResourceType_None = 0,
    AAX_eResourceType_PageTable = 1,
    AAX_eResourceType_PageTableDir = 2
};

enum AAX_ESupportLevel : int32_t
{
    AAX_eSupportLevel_Uninitialized = 0,
    AAX_eSupportLevel_Unsupported = 1,
    AAX_eSupportLevel_Supported = 2,
    AAX_eSupportLevel_Disabled = 3,
    AAX_eSupportLevel_ByProperty = 4
};

enum AAX_EComponentInstanceInitAction : int32_t
{
    AAX_eComponentInstanceInitAction_AddingNewInstance = 0,
    AAX_eComponentInstanceInitAction_RemovingInstance = 1,
    AAX_eComponentInstanceInitAction_ResetInstance = 2
};

// Effect categories, a bit set.
enum AAX_EPlugInCategory : int32_t
{
    AAX_ePlugInCategory_None = 0x00000000,
    AAX_ePlugInCategory_EQ = 0x00000001,
    AAX_ePlugInCategory_Dynamics = 0x00000002,
    AAX_ePlugInCategory_PitchShift = 0x00000004,
    AAX_ePlugInCategory_Reverb = 0x00000008,
    AAX_ePlugInCategory_Delay = 0x00000010,
    AAX_ePlugInCategory_Modulation = 0x00000020,
    AAX_ePlugInCategory_Harmonic = 0x00000040,
    AAX_ePlugInCategory_NoiseReduction = 0x00000080,
    AAX_ePlugInCategory_Dither = 0x00000100,
    AAX_ePlugInCategory_SoundField = 0x00000200,
    AAX_ePlugInCategory_HWGenerators = 0x00000400,
    AAX_ePlugInCategory_SWGenerators = 0x00000800,
    AAX_ePlugInCategory_WrappedPlugin = 0x00001000,
    AAX_ePlugInCategory_Effect = 0x00002000
};

// Block lengths as powers of two: 1 << value samples.
enum AAX_EAudioBufferLength : int32_t
{
    AAX_eAudioBufferLength_Undefined = -1,
    AAX_eAudioBufferLength_1 = 0,
    AAX_eAudioBufferLength_2 = 1,
    AAX_eAudioBufferLength_4 = 2,
    AAX_eAudioBufferLength_8 = 3,
    AAX_eAudioBufferLength_16 = 4,
    AAX_eAudioBufferLength_32 = 5,
    AAX_eAudioBufferLength_64 = 6,
    AAX_eAudioBufferLength_128 = 7,
    AAX_eAudioBufferLength_256 = 8,
    AAX_eAudioBufferLength_512 = 9,
    AAX_eAudioBufferLength_1024 = 10,
    AAX_eAudioBufferLength_Max = AAX_eAudioBufferLength_1024
};

enum AAX_ETargetPlatform : int32_t
{
    AAX_eTargetPlatform_None = 0,
    AAX_eTargetPlatform_Native = 1,
    AAX_eTargetPlatform_TI = 2,
    AAX_eTargetPlatform_External = 3
};

enum AAX_ETextEncoding : int32_t
{
    AAX_eTextEncoding_Undefined = -1,
    AAX_eTextEncoding_UTF8 = 0
};

//==============================================================================
// Meters.
enum AAX_EMeterType : int32_t
{
    AAX_eMeterType_Input = 0,
    AAX_eMeterType_Output = 1,
    AAX_eMeterType_CLGain = 2,
    AAX_eMeterType_EGGain = 3,
    AAX_eMeterType_Analysis = 4,
    AAX_eMeterType_Other = 5,
    AAX_eMeterType_None = 31
};

enum AAX_EMeterOrientation : int32_t
{
    AAX_eMeterOrientation_BottomLeft = 0,
    AAX_eMeterOrientation_Default = AAX_eMeterOrientation_BottomLeft,
    AAX_eMeterOrientation_TopRight = 1,
    AAX_eMeterOrientation_Center = 2
};

// Curves the host may ask an effect to draw (four-character codes).
enum AAX_ECurveType : int32_t
{
    AAX_eCurveType_None = 0,
    AAX_eCurveType_EQ = 0x41584551,       // 'AXEQ'
    AAX_eCurveType_Dynamics = 0x41584459, // 'AXDY'
    AAX_eCurveType_Reduction = 0x41584752 // 'AXGR'
};

//==============================================================================
// Parameters.
enum AAX_EParameterType : int32_t
{
    AAX_eParameterType_Discrete = 0,
    AAX_eParameterType_Continuous = 1
};

// Orientation of a parameter's controls, a bit set; the zero values are the defaults they replace. An
// inverted parameter combines RightMinLeftMax, TopMinBottomMax and RotaryRightMinLeftMax into 0x13.
enum AAX_EParameterOrientationBits : int32_t
{
    AAX_eParameterOrientation_Default = 0x00,
    AAX_eParameterOrientation_BottomMinTopMax = 0x00,
    AAX_eParameterOrientation_LeftMinRightMax = 0x00,
    AAX_eParameterOrientation_RightMinLeftMax = 0x01,
    AAX_eParameterOrientation_TopMinBottomMax = 0x02,
    AAX_eParameterOrientation_RotarySingleDotMode = 0x00,
    AAX_eParameterOrientation_RotaryBoostCutMode = 0x04,
    AAX_eParameterOrientation_RotaryWrapMode = 0x08,
    AAX_eParameterOrientation_RotarySpreadMode = 0x0C,
    AAX_eParameterOrientation_RotaryLeftMinRightMax = 0x00,
    AAX_eParameterOrientation_RotaryRightMinLeftMax = 0x10
};
typedef int32_t AAX_EParameterOrientation;

// Why the host confirms a parameter value.
enum AAX_EUpdateSource : int32_t
{
    AAX_eUpdateSource_Unspecified = 0,
    AAX_eUpdateSource_Parameter = 1,
    AAX_eUpdateSource_Chunk = 2,
    AAX_eUpdateSource_Delay = 3
};

//==============================================================================
// Notifications between host and plug-in (four-character codes). Only the preview state is interpreted by
// the library: its data is a 32-bit integer, non-zero while the AudioSuite preview runs.
enum AAX_ENotificationEvent : int32_t
{
    AAX_eNotificationEvent_InsertPositionChanged = 0x696E7350,      // 'insP'
    AAX_eNotificationEvent_TrackNameChanged = 0x74724E6D,           // 'trNm'
    AAX_eNotificationEvent_TrackUIDChanged = 0x74725549,            // 'trUI'
    AAX_eNotificationEvent_TrackPositionChanged = 0x74725073,       // 'trPs'
    AAX_eNotificationEvent_AlgorithmMoved = 0x616C4D76,             // 'alMv'
    AAX_eNotificationEvent_GUIOpened = 0x6775694F,                  // 'guiO'
    AAX_eNotificationEvent_GUIClosed = 0x67756943,                  // 'guiC'
    AAX_eNotificationEvent_ASPreviewState = 0x41535076,             // 'ASPv', interpreted
    AAX_eNotificationEvent_ASProcessingState = 0x41535072,          // 'ASPr'
    AAX_eNotificationEvent_ASModeChanged = 0x41534D64,              // 'ASMd'
    AAX_eNotificationEvent_EnteringOfflineMode = 0x6F66456E,        // 'ofEn'
    AAX_eNotificationEvent_ExitingOfflineMode = 0x6F664578,         // 'ofEx'
    AAX_eNotificationEvent_SessionBeingOpened = 0x73654F70,         // 'seOp'
    AAX_eNotificationEvent_SessionPathChanged = 0x73655061,         // 'sePa'
    AAX_eNotificationEvent_SignalLatencyChanged = 0x6C617443,       // 'latC'
    AAX_eNotificationEvent_DelayCompensationState = 0x64634D70,     // 'dcMp'
    AAX_eNotificationEvent_CycleCountChanged = 0x63796343,          // 'cycC'
    AAX_eNotificationEvent_MaxViewSizeChanged = 0x6D76537A,         // 'mvSz'
    AAX_eNotificationEvent_SideChainBeingConnected = 0x7363436E,    // 'scCn'
    AAX_eNotificationEvent_SideChainBeingDisconnected = 0x73634463, // 'scDc'
    AAX_eNotificationEvent_NoiseFloorChanged = 0x6E466C72,          // 'nFlr'
    AAX_eNotificationEvent_ParameterMappingChanged = 0x704D6170,    // 'pMap'
    AAX_eNotificationEvent_TransportStateChanged = 0x74725374,      // 'trSt'
    AAX_eNotificationEvent_HostModeChanged = 0x684D6F64             // 'hMod'
};

// Data of the AudioSuite processing-state notification (4 bytes).
enum AAX_EProcessingState : int32_t
{
    AAX_eProcessingState_None = 0,
    AAX_eProcessingState_StartPass = 1,
    AAX_eProcessingState_EndPass = 2,
    AAX_eProcessingState_BeginPassGroup = 3,
    AAX_eProcessingState_EndPassGroup = 4
};

//==============================================================================
// Window and controls.
enum AAX_EViewContainer_Type : int32_t
{
    AAX_eViewContainer_Type_NULL = 0,
    AAX_eViewContainer_Type_NSView = 1, // the native macOS view
    AAX_eViewContainer_Type_UIView = 2,
    AAX_eViewContainer_Type_HWND = 3
};

// Modifier keys and mouse buttons, a bit set.
enum AAX_EModifiers : int32_t
{
    AAX_eModifiers_None = 0,
    AAX_eModifiers_Shift = 1 << 0,
    AAX_eModifiers_Control = 1 << 1,
    AAX_eModifiers_Option = 1 << 2,
    AAX_eModifiers_Alt = AAX_eModifiers_Option,
    AAX_eModifiers_Command = 1 << 3,
    AAX_eModifiers_WINKEY = AAX_eModifiers_Command,
    AAX_eModifiers_SecondaryButton = 1 << 4
};

enum AAX_EHighlightColor : int32_t
{
    AAX_eHighlightColor_Red = 0,
    AAX_eHighlightColor_Blue = 1,
    AAX_eHighlightColor_Green = 2,
    AAX_eHighlightColor_Yellow = 3,
    AAX_eHighlightColor_Num = 4
};

// Labels the host may ask the GUI for.
enum AAX_EPlugInStrings : int32_t
{
    AAX_ePlugInStrings_Analysis = 0,
    AAX_ePlugInStrings_MoreResults = 1,
    AAX_ePlugInStrings_WindowTitle = 2,
    AAX_ePlugInStrings_Progress = 3,
    AAX_ePlugInStrings_ClipName = 4
};

//==============================================================================
// Transport.
enum AAX_EFrameRate : int32_t
{
    AAX_eFrameRate_Undeclared = 0,
    AAX_eFrameRate_24Frame = 1,
    AAX_eFrameRate_25Frame = 2,
    AAX_eFrameRate_2997NonDrop = 3,
    AAX_eFrameRate_2997DropFrame = 4,
    AAX_eFrameRate_30NonDrop = 5,
    AAX_eFrameRate_30DropFrame = 6,
    AAX_eFrameRate_23976 = 7,
    AAX_eFrameRate_47952 = 8,
    AAX_eFrameRate_48Frame = 9,
    AAX_eFrameRate_50Frame = 10,
    AAX_eFrameRate_5994NonDrop = 11,
    AAX_eFrameRate_5994DropFrame = 12,
    AAX_eFrameRate_60NonDrop = 13,
    AAX_eFrameRate_60DropFrame = 14,
    AAX_eFrameRate_100Frame = 15,
    AAX_eFrameRate_11988NonDrop = 16,
    AAX_eFrameRate_11988DropFrame = 17,
    AAX_eFrameRate_120NonDrop = 18,
    AAX_eFrameRate_120DropFrame = 19
};

enum AAX_EFeetFramesRate : int32_t
{
    AAX_eFeetFramesRate_23976 = 0,
    AAX_eFeetFramesRate_24 = 1,
    AAX_eFeetFramesRate_25 = 2
};

enum AAX_ETransportState : int32_t
{
    AAX_eTransportState_Unknown = 0,
    AAX_eTransportState_Stopped = 1,
    AAX_eTransportState_Playing = 2,
    AAX_eTransportState_Paused = 3,
    AAX_eTransportState_Recording = 4,
    AAX_eTransportState_FastForward = 5,
    AAX_eTransportState_Rewind = 6
};
