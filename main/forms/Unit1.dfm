object Form1: TForm1
  Left = 200
  Top = 100
  BorderStyle = bsNone
  Caption = 'Sweepora 2004'
  ClientHeight = 513
  ClientWidth = 750
  Color = 14211288
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  HelpFile = 'Sweepora 2004.chm'
  Icon = 'Sweepora.ico'
  Position = poDesktopCenter
  OnActivate = FormActivate
  OnCloseQuery = FormCloseQuery
  OnCreate = FormCreate
  OnDestroy = FormDestroy
  OnResize = FormResize
  object plMenu: TPanel
    Left = 0
    Top = 0
    Width = 750
    Height = 147
    Align = alTop
    BevelOuter = bvNone
    Color = 14211288
    object Panel1: TPanel
      Left = 0
      Top = 0
      Width = 750
      Height = 147
      Align = alClient
      BevelOuter = bvNone
      Color = 14211288
      OnMouseDown = Panel1MouseDown
      object Image1: TImage
        Left = 0
        Top = 0
        Width = 750
        Height = 147
        Align = alClient
        Picture = 'Image1.bmp'
        OnMouseDown = Image1MouseDown
      end
      object lMessage: TLabel
        Left = 176
        Top = 114
        Width = 574
        Height = 18
        AutoSize = False
        Font.Color = 6375229
        Font.Height = -15
        Font.Name = 'Arial'
        Font.Style = [fsBold]
        ParentFont = False
        Transparent = True
      end
    end
  end
  object Panel3: TPanel
    Left = 0
    Top = 478
    Width = 750
    Height = 35
    Align = alBottom
    BevelOuter = bvNone
    Color = 14211288
    object Image13: TImage
      Left = 0
      Top = 0
      Width = 750
      Height = 35
      Align = alClient
      Picture = 'Image13.bmp'
    end
    object lTip: TLabel
      Left = 102
      Top = 10
      Width = 640
      Height = 18
      AutoSize = False
      Font.Color = 6375229
      Font.Height = -15
      Font.Name = 'Arial'
      Font.Style = [fsBold]
      ParentFont = False
      Transparent = True
    end
  end
  object plButtonHolder: TPanel
    Left = 0
    Top = 417
    Width = 750
    Height = 61
    Align = alBottom
    BevelOuter = bvNone
    Color = 14211288
    object plUninstallButtons: TPanel
      Left = 0
      Top = 0
      Width = 750
      Height = 61
      Align = alClient
      BevelOuter = bvNone
      Color = 14211288
      object bbtUninstall: TPSpeedButton
        Left = 176
        Top = 10
        Width = 130
        Height = 26
        Flat = True
        Images = ilNewButtons
        ImageIndexIDLE = 21
        ImageIndexUp = 22
        ImageIndexDown = 23
        ParentShowHint = False
        ShowHint = True
        OnClick = bbtUninstallClick
      end
      object bbtUninstallRefresh: TPSpeedButton
        Left = 316
        Top = 10
        Width = 130
        Height = 26
        Flat = True
        Images = ilNewButtons
        ImageIndexIDLE = 24
        ImageIndexUp = 25
        ImageIndexDown = 26
        ParentShowHint = False
        ShowHint = True
        OnClick = bbtUninstallRefreshClick
      end
      object lUninstallFilter: TLabel
        Left = 470
        Top = 16
        Width = 28
        Height = 13
        AutoSize = False
        Caption = 'Filter'
        Color = 14211288
      end
      object edUninstallFilter: TEdit
        Left = 500
        Top = 12
        Width = 210
        Height = 21
        ParentShowHint = False
        ShowHint = True
        OnChange = edUninstallFilterChange
        OnKeyPress = edUninstallFilterKeyPress
      end
    end
    object plStartupButtons: TPanel
      Left = 0
      Top = 0
      Width = 750
      Height = 61
      Align = alClient
      BevelOuter = bvNone
      Color = 14211288
      Visible = False
      object bbtStartupApply: TPSpeedButton
        Left = 176
        Top = 10
        Width = 130
        Height = 26
        Flat = True
        Images = ilNewButtons
        ImageIndexIDLE = 27
        ImageIndexUp = 28
        ImageIndexDown = 29
        ParentShowHint = False
        ShowHint = True
        OnClick = bbtStartupApplyClick
      end
      object bbtStartupRefresh: TPSpeedButton
        Left = 316
        Top = 10
        Width = 130
        Height = 26
        Flat = True
        Images = ilNewButtons
        ImageIndexIDLE = 24
        ImageIndexUp = 25
        ImageIndexDown = 26
        ParentShowHint = False
        ShowHint = True
        OnClick = bbtStartupRefreshClick
      end
      object bbtStartupRemove: TPSpeedButton
        Left = 456
        Top = 10
        Width = 130
        Height = 26
        Flat = True
        Images = ilNewButtons
        ImageIndexIDLE = 30
        ImageIndexUp = 31
        ImageIndexDown = 32
        ParentShowHint = False
        ShowHint = True
        OnClick = bbtStartupRemoveClick
      end
      object bbtStartupAdd: TPSpeedButton
        Left = 596
        Top = 10
        Width = 130
        Height = 26
        Flat = True
        Images = ilNewButtons
        ImageIndexIDLE = 33
        ImageIndexUp = 34
        ImageIndexDown = 35
        ParentShowHint = False
        ShowHint = True
        OnClick = bbtStartupAddClick
      end
      object lStartupFilter: TLabel
        Left = 10
        Top = 16
        Width = 28
        Height = 13
        AutoSize = False
        Caption = 'Filter'
        Color = 14211288
        Visible = False
      end
      object edStartupFilter: TEdit
        Left = 40
        Top = 12
        Width = 120
        Height = 21
        Visible = False
        OnChange = edStartupFilterChange
        OnKeyPress = edStartupFilterKeyPress
      end
    end
    object plTaskManButtons: TPanel
      Left = 0
      Top = 0
      Width = 750
      Height = 61
      Align = alClient
      BevelOuter = bvNone
      Color = 14211288
      Visible = False
      object bbtTaskManKill: TPSpeedButton
        Left = 176
        Top = 10
        Width = 130
        Height = 26
        Flat = True
        Images = ilNewButtons
        ImageIndexIDLE = 36
        ImageIndexUp = 37
        ImageIndexDown = 38
        ParentShowHint = False
        ShowHint = True
        OnClick = bbtTaskManKillClick
      end
      object bbtTaskManRefresh: TPSpeedButton
        Left = 316
        Top = 10
        Width = 130
        Height = 26
        Flat = True
        Images = ilNewButtons
        ImageIndexIDLE = 24
        ImageIndexUp = 25
        ImageIndexDown = 26
        ParentShowHint = False
        ShowHint = True
        OnClick = bbtTaskManRefreshClick
      end
      object lTaskManFilter: TLabel
        Left = 470
        Top = 16
        Width = 28
        Height = 13
        AutoSize = False
        Caption = 'Filter'
        Color = 14211288
        Visible = False
      end
      object edTaskManFilter: TEdit
        Left = 500
        Top = 12
        Width = 210
        Height = 21
        Visible = False
      end
    end
    object plPrivacyButtons: TPanel
      Left = 0
      Top = 0
      Width = 750
      Height = 61
      Align = alClient
      BevelOuter = bvNone
      Color = 14211288
      Visible = False
      object bbtPrivacyConfirm: TPSpeedButton
        Left = 176
        Top = 10
        Width = 130
        Height = 26
        Flat = True
        Images = ilNewButtons
        ImageIndexIDLE = 39
        ImageIndexUp = 40
        ImageIndexDown = 41
        ParentShowHint = False
        ShowHint = True
        OnClick = bbtPrivacyConfirmClick
      end
      object cbShowConfirm: TCheckBox
        Left = 320
        Top = 14
        Width = 17
        Height = 17
        Checked = True
        Color = 14211288
        ParentShowHint = False
        ShowHint = True
      end
      object lShowConfirm: TLabel
        Left = 340
        Top = 16
        Width = 150
        Height = 13
        AutoSize = False
        Caption = 'Show Comfirmation Dialog'
        Color = 14211288
      end
      object lDeleteProcess: TLabel
        Left = 176
        Top = 42
        Width = 550
        Height = 13
        AutoSize = False
        Color = 14211288
        Font.Color = 255
        ParentFont = False
      end
    end
    object plAboutButtons: TPanel
      Left = 0
      Top = 0
      Width = 750
      Height = 61
      Align = alClient
      BevelOuter = bvNone
      Color = 14211288
      Visible = False
    end
  end
  object plLeft: TPanel
    Left = 0
    Top = 147
    Width = 168
    Height = 270
    Align = alLeft
    BevelOuter = bvNone
    Color = 14211288
    object Image8: TImage
      Left = 0
      Top = 0
      Width = 168
      Height = 270
      Align = alClient
      Picture = 'Image8.bmp'
    end
    object bbtUninstallIcon: TPSpeedButton
      Left = 10
      Top = 12
      Width = 130
      Height = 26
      GroupIndex = 1
      Down = True
      Cancel = True
      Flat = True
      Images = ilNewButtons
      ImageIndexIDLE = 0
      ImageIndexUp = 1
      ImageIndexDown = 2
      OnMouseEnter = bbtUninstallIconMouseEnter
      OnMouseLeave = bbtUninstallIconMouseLeave
      ParentShowHint = False
      ShowHint = True
      Transparent = False
      OnClick = bbtUninstallIconClick
    end
    object bbtStartupIcon: TPSpeedButton
      Left = 10
      Top = 42
      Width = 130
      Height = 26
      GroupIndex = 1
      Flat = True
      Images = ilNewButtons
      ImageIndexIDLE = 3
      ImageIndexUp = 4
      ImageIndexDown = 5
      OnMouseEnter = bbtStartupIconMouseEnter
      OnMouseLeave = bbtUninstallIconMouseLeave
      ParentShowHint = False
      ShowHint = True
      Transparent = False
      OnClick = bbtStartupIconClick
    end
    object bbtTaskManIcon: TPSpeedButton
      Left = 10
      Top = 72
      Width = 130
      Height = 26
      GroupIndex = 1
      Flat = True
      Images = ilNewButtons
      ImageIndexIDLE = 6
      ImageIndexUp = 7
      ImageIndexDown = 8
      OnMouseEnter = bbtTaskManIconMouseEnter
      OnMouseLeave = bbtUninstallIconMouseLeave
      ParentShowHint = False
      ShowHint = True
      Transparent = False
      OnClick = bbtTaskManIconClick
    end
    object bbtPrivacyIcon: TPSpeedButton
      Left = 10
      Top = 102
      Width = 130
      Height = 26
      GroupIndex = 1
      Flat = True
      Images = ilNewButtons
      ImageIndexIDLE = 9
      ImageIndexUp = 10
      ImageIndexDown = 11
      OnMouseEnter = bbtPrivacyIconMouseEnter
      OnMouseLeave = bbtUninstallIconMouseLeave
      ParentShowHint = False
      ShowHint = True
      Transparent = False
      OnClick = bbtPrivacyIconClick
    end
    object bbtHelpIcon: TPSpeedButton
      Left = 10
      Top = 132
      Width = 130
      Height = 26
      Flat = True
      Images = ilNewButtons
      ImageIndexIDLE = 12
      ImageIndexUp = 13
      ImageIndexDown = 14
      OnMouseEnter = bbtHelpIconMouseEnter
      OnMouseLeave = bbtUninstallIconMouseLeave
      ParentShowHint = False
      ShowHint = True
      Transparent = False
      OnClick = bbtHelpIconClick
    end
    object bbtAboutIcon: TPSpeedButton
      Left = 10
      Top = 162
      Width = 130
      Height = 26
      GroupIndex = 1
      Flat = True
      Images = ilNewButtons
      ImageIndexIDLE = 15
      ImageIndexUp = 16
      ImageIndexDown = 17
      OnMouseEnter = bbtAboutIconMouseEnter
      OnMouseLeave = bbtUninstallIconMouseLeave
      ParentShowHint = False
      ShowHint = True
      Transparent = False
      OnClick = bbtAboutIconClick
    end
    object bbtExitIcon: TPSpeedButton
      Left = 10
      Top = 192
      Width = 130
      Height = 26
      Cancel = True
      Flat = True
      Images = ilNewButtons
      ImageIndexIDLE = 18
      ImageIndexUp = 19
      ImageIndexDown = 20
      OnMouseEnter = bbtExitIconMouseEnter
      OnMouseLeave = bbtUninstallIconMouseLeave
      ParentShowHint = False
      ShowHint = True
      Transparent = False
      OnClick = bbtExitIconClick
    end
  end
  object plRight: TPanel
    Left = 726
    Top = 147
    Width = 24
    Height = 270
    Align = alRight
    BevelOuter = bvNone
    Color = 14211288
    object Image2: TImage
      Left = 0
      Top = 0
      Width = 24
      Height = 270
      Align = alClient
      Picture = 'Image2.bmp'
    end
  end
  object plUninstall: TPanel
    Left = 168
    Top = 147
    Width = 558
    Height = 270
    Align = alClient
    BevelOuter = bvNone
    Color = 14211288
    object lvUninstall: TListView
      Left = 0
      Top = 0
      Width = 558
      Height = 250
      LargeImages = ilUninstallLargeIcons
      ReadOnly = True
      RowSelect = True
      PopupMenu = pmUninstallListView
      SmallImages = ilUninstallSmallIcons
      SortType = stText
      OnDblClick = bbtUninstallClick
      OnSelectItem = lvUninstallSelectItem
    end
    object lUninstallNumber: TLabel
      Left = 4
      Top = 254
      Width = 550
      Height = 13
      AutoSize = False
      Color = 14211288
    end
  end
  object plStartup: TPanel
    Left = 168
    Top = 147
    Width = 558
    Height = 270
    Align = alClient
    BevelOuter = bvNone
    Color = 14211288
    Visible = False
    object lvStartup: TListView
      Left = 0
      Top = 0
      Width = 558
      Height = 270
      Align = alClient
      Checkboxes = True
      ReadOnly = True
      RowSelect = True
      ParentShowHint = False
      ShowHint = True
      ViewStyle = vsReport
    end
  end
  object plTaskMan: TPanel
    Left = 168
    Top = 147
    Width = 558
    Height = 270
    Align = alClient
    BevelOuter = bvNone
    Color = 14211288
    Visible = False
    object lvTaskMan: TListView
      Left = 0
      Top = 0
      Width = 558
      Height = 270
      Align = alClient
      ReadOnly = True
      RowSelect = True
      SortType = stText
      ViewStyle = vsReport
      OnDblClick = lvTaskManDblClick
    end
    object Panel4: TPanel
      Left = 310
      Top = 30
      Width = 217
      Height = 209
      BevelOuter = bvNone
      Color = 14211288
      object Image18: TImage
        Left = 0
        Top = 0
        Width = 217
        Height = 209
        Align = alClient
        Picture = 'Image18.bmp'
      end
    end
  end
  object plPrivacy: TPanel
    Left = 168
    Top = 147
    Width = 558
    Height = 270
    Align = alClient
    BevelOuter = bvNone
    Color = 14211288
    Visible = False
    object plPrivacySelect: TPanel
      Left = 0
      Top = 0
      Width = 558
      Height = 79
      Align = alTop
      BevelOuter = bvNone
      Color = 14211288
      object bbtIE: TPSpeedButton
        Left = 32
        Top = 10
        Width = 58
        Height = 58
        GroupIndex = 1
        Down = True
        Flat = True
        Images = ilPrivacyIcons
        ImageIndexIDLE = 0
        ImageIndexUp = 1
        ImageIndexDown = 2
        ParentShowHint = False
        ShowHint = True
        OnClick = bbtIEClick
      end
      object bbtOpera: TPSpeedButton
        Left = 104
        Top = 10
        Width = 58
        Height = 58
        GroupIndex = 1
        Flat = True
        Images = ilPrivacyIcons
        ImageIndexIDLE = 3
        ImageIndexUp = 4
        ImageIndexDown = 5
        ParentShowHint = False
        ShowHint = True
        OnClick = bbtOperaClick
      end
      object bbtNetscape: TPSpeedButton
        Left = 176
        Top = 10
        Width = 58
        Height = 58
        GroupIndex = 1
        Flat = True
        Images = ilPrivacyIcons
        ImageIndexIDLE = 6
        ImageIndexUp = 7
        ImageIndexDown = 8
        ParentShowHint = False
        ShowHint = True
        OnClick = bbtNetscapeClick
      end
      object bbtWindows: TPSpeedButton
        Left = 248
        Top = 10
        Width = 58
        Height = 58
        GroupIndex = 1
        Flat = True
        Images = ilPrivacyIcons
        ImageIndexIDLE = 15
        ImageIndexUp = 16
        ImageIndexDown = 17
        ParentShowHint = False
        ShowHint = True
        OnClick = bbtWindowsClick
      end
    end
    object plPrivacyIE: TPanel
      Left = 0
      Top = 79
      Width = 558
      Height = 191
      Align = alClient
      BevelOuter = bvNone
      Color = 14211288
      object cbInternetFiles: TCheckBox
        Left = 32
        Top = 10
        Width = 17
        Height = 17
        Color = 14211288
        ParentShowHint = False
        ShowHint = True
      end
      object lInternetFiles: TLabel
        Left = 54
        Top = 12
        Width = 220
        Height = 13
        AutoSize = False
        Caption = 'Delete Temporary Internet Files'
        Color = 14211288
      end
      object cbCookies: TCheckBox
        Left = 32
        Top = 34
        Width = 17
        Height = 17
        Color = 14211288
        ParentShowHint = False
        ShowHint = True
      end
      object lCookies: TLabel
        Left = 54
        Top = 36
        Width = 220
        Height = 13
        AutoSize = False
        Caption = 'Delete Cookies'
        Color = 14211288
      end
      object cbHistory: TCheckBox
        Left = 32
        Top = 58
        Width = 17
        Height = 17
        Color = 14211288
        ParentShowHint = False
        ShowHint = True
      end
      object lHistory: TLabel
        Left = 54
        Top = 60
        Width = 220
        Height = 13
        AutoSize = False
        Caption = 'Delete History files'
        Color = 14211288
      end
      object cbFavorites: TCheckBox
        Left = 32
        Top = 82
        Width = 17
        Height = 17
        Color = 14211288
        ParentShowHint = False
        ShowHint = True
      end
      object lFavorites: TLabel
        Left = 54
        Top = 84
        Width = 220
        Height = 13
        AutoSize = False
        Caption = 'Delete Favorites'
        Color = 14211288
      end
      object cbURLs: TCheckBox
        Left = 32
        Top = 106
        Width = 17
        Height = 17
        Color = 14211288
        ParentShowHint = False
        ShowHint = True
      end
      object lURLs: TLabel
        Left = 54
        Top = 108
        Width = 220
        Height = 13
        AutoSize = False
        Caption = 'Delete Typed URLs'
        Color = 14211288
      end
      object lPrivacyWarning: TLabel
        Left = 290
        Top = 16
        Width = 262
        Height = 48
        AutoSize = False
        Color = 14211288
        Font.Color = 255
        ParentFont = False
      end
      object bbtPrivacyIESelectAll: TPSpeedButton
        Left = 370
        Top = 148
        Width = 130
        Height = 26
        Flat = True
        Images = ilNewButtons
        ImageIndexIDLE = 45
        ImageIndexUp = 46
        ImageIndexDown = 47
        ParentShowHint = False
        ShowHint = True
        OnClick = bbtPrivacyIESelectAllClick
      end
    end
    object plPrivacyOpera: TPanel
      Left = 0
      Top = 79
      Width = 558
      Height = 191
      Align = alClient
      BevelOuter = bvNone
      Color = 14211288
      Visible = False
      object cbOperaInternetFiles: TCheckBox
        Left = 32
        Top = 10
        Width = 17
        Height = 17
        Color = 14211288
        ParentShowHint = False
        ShowHint = True
      end
      object lOperaInternetFiles: TLabel
        Left = 54
        Top = 12
        Width = 220
        Height = 13
        AutoSize = False
        Caption = 'Delete Temporary Internet Files'
        Color = 14211288
      end
      object cbOperaCookies: TCheckBox
        Left = 32
        Top = 34
        Width = 17
        Height = 17
        Color = 14211288
        ParentShowHint = False
        ShowHint = True
      end
      object lOperaCookies: TLabel
        Left = 54
        Top = 36
        Width = 220
        Height = 13
        AutoSize = False
        Caption = 'Delete Cookies'
        Color = 14211288
      end
      object cbOperaHistory: TCheckBox
        Left = 32
        Top = 58
        Width = 17
        Height = 17
        Color = 14211288
        ParentShowHint = False
        ShowHint = True
      end
      object lOperaHistory: TLabel
        Left = 54
        Top = 60
        Width = 220
        Height = 13
        AutoSize = False
        Caption = 'Delete History files'
        Color = 14211288
      end
      object cbOperaFavorites: TCheckBox
        Left = 32
        Top = 82
        Width = 17
        Height = 17
        Color = 14211288
        ParentShowHint = False
        ShowHint = True
      end
      object lOperaFavorites: TLabel
        Left = 54
        Top = 84
        Width = 220
        Height = 13
        AutoSize = False
        Caption = 'Delete Bookmarks'
        Color = 14211288
      end
      object cbOperaURLs: TCheckBox
        Left = 32
        Top = 106
        Width = 17
        Height = 17
        Color = 14211288
        ParentShowHint = False
        ShowHint = True
      end
      object lOperaURLs: TLabel
        Left = 54
        Top = 108
        Width = 220
        Height = 13
        AutoSize = False
        Caption = 'Delete Typed URLs'
        Color = 14211288
      end
      object cbOperaDownloadHistory: TCheckBox
        Left = 32
        Top = 130
        Width = 17
        Height = 17
        Color = 14211288
        ParentShowHint = False
        ShowHint = True
      end
      object lOperaDownloadHistory: TLabel
        Left = 54
        Top = 132
        Width = 220
        Height = 13
        AutoSize = False
        Caption = 'Delete Download history'
        Color = 14211288
      end
      object bbtPrivacyOperaSelectAll: TPSpeedButton
        Left = 370
        Top = 148
        Width = 130
        Height = 26
        Flat = True
        Images = ilNewButtons
        ImageIndexIDLE = 45
        ImageIndexUp = 46
        ImageIndexDown = 47
        ParentShowHint = False
        ShowHint = True
        OnClick = bbtPrivacyOperaSelectAllClick
      end
    end
    object plPrivacyNetscape: TPanel
      Left = 0
      Top = 79
      Width = 558
      Height = 191
      Align = alClient
      BevelOuter = bvNone
      Color = 14211288
      Visible = False
      object cbNetscapeInternetFiles: TCheckBox
        Left = 32
        Top = 10
        Width = 17
        Height = 17
        Color = 14211288
        ParentShowHint = False
        ShowHint = True
      end
      object lNetscapeInternetFiles: TLabel
        Left = 54
        Top = 12
        Width = 220
        Height = 13
        AutoSize = False
        Caption = 'Delete Temporary Internet Files'
        Color = 14211288
      end
      object cbNetscapeCookies: TCheckBox
        Left = 32
        Top = 34
        Width = 17
        Height = 17
        Color = 14211288
        ParentShowHint = False
        ShowHint = True
      end
      object lNetscapeCookies: TLabel
        Left = 54
        Top = 36
        Width = 220
        Height = 13
        AutoSize = False
        Caption = 'Delete Cookies'
        Color = 14211288
      end
      object cbNetscapeHistory: TCheckBox
        Left = 32
        Top = 58
        Width = 17
        Height = 17
        Color = 14211288
        ParentShowHint = False
        ShowHint = True
      end
      object lNetscapeHistory: TLabel
        Left = 54
        Top = 60
        Width = 220
        Height = 13
        AutoSize = False
        Caption = 'Delete History files'
        Color = 14211288
      end
      object cbNetscapeFavorites: TCheckBox
        Left = 32
        Top = 82
        Width = 17
        Height = 17
        Color = 14211288
        ParentShowHint = False
        ShowHint = True
      end
      object lNetscapeFavorites: TLabel
        Left = 54
        Top = 84
        Width = 220
        Height = 13
        AutoSize = False
        Caption = 'Delete Bookmarks'
        Color = 14211288
      end
      object cbNetscapeURLs: TCheckBox
        Left = 32
        Top = 106
        Width = 17
        Height = 17
        Color = 14211288
        ParentShowHint = False
        ShowHint = True
      end
      object lNetscapeURLs: TLabel
        Left = 54
        Top = 108
        Width = 220
        Height = 13
        AutoSize = False
        Caption = 'Delete Typed URLs'
        Color = 14211288
      end
      object cbNetscapeDownloadHistory: TCheckBox
        Left = 32
        Top = 130
        Width = 17
        Height = 17
        Color = 14211288
        ParentShowHint = False
        ShowHint = True
      end
      object lNetscapeDownloadHistory: TLabel
        Left = 54
        Top = 132
        Width = 220
        Height = 13
        AutoSize = False
        Caption = 'Delete Download history'
        Color = 14211288
      end
      object cbNetscapePassword: TCheckBox
        Left = 32
        Top = 154
        Width = 17
        Height = 17
        Color = 14211288
        ParentShowHint = False
        ShowHint = True
      end
      object lNetscapePassword: TLabel
        Left = 54
        Top = 156
        Width = 220
        Height = 13
        AutoSize = False
        Caption = 'Delete Passwords'
        Color = 14211288
      end
      object bbtPrivacyNetscapeSelectAll: TPSpeedButton
        Left = 370
        Top = 148
        Width = 130
        Height = 26
        Flat = True
        Images = ilNewButtons
        ImageIndexIDLE = 45
        ImageIndexUp = 46
        ImageIndexDown = 47
        ParentShowHint = False
        ShowHint = True
        OnClick = bbtPrivacyNetscapeSelectAllClick
      end
    end
    object plPrivacyWindows: TPanel
      Left = 0
      Top = 79
      Width = 558
      Height = 191
      Align = alClient
      BevelOuter = bvNone
      Color = 14211288
      Visible = False
      object cbRecycleBin: TCheckBox
        Left = 32
        Top = 10
        Width = 17
        Height = 17
        Color = 14211288
        ParentShowHint = False
        ShowHint = True
      end
      object lRecycleBin: TLabel
        Left = 54
        Top = 12
        Width = 220
        Height = 13
        AutoSize = False
        Caption = 'Delete Windows Recycle Bin'
        Color = 14211288
      end
      object cbWinTemp: TCheckBox
        Left = 32
        Top = 34
        Width = 17
        Height = 17
        Color = 14211288
        ParentShowHint = False
        ShowHint = True
      end
      object lWinTemp: TLabel
        Left = 54
        Top = 36
        Width = 220
        Height = 13
        AutoSize = False
        Caption = 'Delete Windows Temporary Files'
        Color = 14211288
      end
      object cbRecent: TCheckBox
        Left = 32
        Top = 58
        Width = 17
        Height = 17
        Color = 14211288
        ParentShowHint = False
        ShowHint = True
      end
      object lRecent: TLabel
        Left = 54
        Top = 60
        Width = 220
        Height = 13
        AutoSize = False
        Caption = 'Delete Recent documents'
        Color = 14211288
      end
      object bbtPrivacyWindowsSelectAll: TPSpeedButton
        Left = 370
        Top = 148
        Width = 130
        Height = 26
        Flat = True
        Images = ilNewButtons
        ImageIndexIDLE = 45
        ImageIndexUp = 46
        ImageIndexDown = 47
        ParentShowHint = False
        ShowHint = True
        OnClick = bbtPrivacyWindowsSelectAllClick
      end
    end
  end
  object plAbout: TPanel
    Left = 168
    Top = 147
    Width = 558
    Height = 270
    Align = alClient
    BevelOuter = bvNone
    Color = 14211288
    Visible = False
    object Image14: TImage
      Left = 0
      Top = 0
      Width = 558
      Height = 270
      Align = alClient
      Picture = 'Image14.bmp'
    end
    object Image15: TImage
      Left = 136
      Top = 216
      Width = 281
      Height = 17
      Cursor = crHandPoint
      OnClick = Image15Click
    end
    object Image17: TImage
      Left = 136
      Top = 238
      Width = 284
      Height = 19
      Cursor = crHandPoint
      OnClick = Image17Click
    end
  end
  object plWait: TPanel
    Left = 168
    Top = 147
    Width = 558
    Height = 270
    Align = alClient
    BevelOuter = bvNone
    Color = 14211288
    Visible = False
    object lWait: TLabel
      Left = 0
      Top = 0
      Width = 558
      Height = 270
      Align = alClient
      Alignment = taCenter
      AutoSize = False
      Font.Color = 6375229
      Font.Height = -15
      Font.Name = 'Arial'
      Font.Style = [fsBold]
      ParentFont = False
      Transparent = True
    end
  end
  object ilNewButtons: TImageList
    Width = 130
    Height = 26
    Bitmap = 'ilNewButtons.bmp'
  end
  object ilPrivacyIcons: TImageList
    Width = 58
    Height = 58
    Bitmap = 'ilPrivacyIcons.bmp'
  end
  object ilUninstallLargeIcons: TImageList
    Width = 32
    Height = 32
    Masked = True
  end
  object ilUninstallSmallIcons: TImageList
    Masked = True
  end
  object ilNoIconNagy: TImageList
    Width = 32
    Height = 32
    Masked = True
    Bitmap = 'ilNoIconNagy.bmp'
  end
  object ilNoIconKicsi: TImageList
    Masked = True
    Bitmap = 'ilNoIconKicsi.bmp'
  end
  object ImageList: TImageList
    Masked = True
    Bitmap = 'ImageList.bmp'
  end
  object pmTray: TPopupMenu
    object pmiUninstallprograms: TMenuItem
      Bitmap = 'pmiUninstallprograms.bmp'
      Caption = 'Uninstaller Pro'
      OnClick = pmiUninstallprogramsClick
    end
    object pmiStartupManager: TMenuItem
      Bitmap = 'pmiStartupManager.bmp'
      Caption = 'Startup List'
      OnClick = pmiStartupManagerClick
    end
    object pmiTaskManager: TMenuItem
      Bitmap = 'pmiTaskManager.bmp'
      Caption = 'Task Manager'
      OnClick = pmiTaskManagerClick
    end
    object pmiPrivacymanager: TMenuItem
      Bitmap = 'pmiPrivacymanager.bmp'
      Caption = 'Privacy Cleanup'
      OnClick = pmiPrivacymanagerClick
    end
    object N1: TMenuItem
      Caption = '-'
    end
    object pmiHelp: TMenuItem
      Bitmap = 'pmiHelp.bmp'
      Caption = 'Help'
      OnClick = pmiHelpClick
    end
    object N2: TMenuItem
      Caption = '-'
    end
    object pmiExit: TMenuItem
      Bitmap = 'pmiExit.bmp'
      Caption = 'Exit'
      OnClick = pmiExitClick
    end
  end
  object pmUninstallListView: TPopupMenu
    OnPopup = pmUninstallListViewPopup
    object pmiListViewDelete: TMenuItem
      Caption = 'Uninstall'
      Hint = 'Uninstall selected program'
      OnClick = pmiListViewDeleteClick
    end
    object N3: TMenuItem
      Caption = '-'
    end
    object pmiListViewRefresh: TMenuItem
      Caption = 'Refresh'
      Hint = 'Refresh'
      OnClick = pmiListViewRefreshClick
    end
    object N4: TMenuItem
      Caption = '-'
    end
    object pmiListViewIcon: TMenuItem
      Caption = 'Icon'
      Checked = True
      GroupIndex = 1
      Hint = 'Change to Icon view'
      RadioItem = True
      OnClick = pmiListViewIconClick
    end
    object pmiListViewList: TMenuItem
      Caption = 'List'
      GroupIndex = 1
      Hint = 'Change to List view'
      RadioItem = True
      OnClick = pmiListViewListClick
    end
    object pmiListViewReport: TMenuItem
      Caption = 'Report'
      GroupIndex = 1
      Hint = 'Change to Report view'
      RadioItem = True
      OnClick = pmiListViewReportClick
    end
  end
  object TrayIcon: TTrayIcon
    Hint = 'Sweepora 2004'
    PopupMenu = pmTray
    Hide = True
    RestoreOn = imDoubleClick
    PopupMenuOn = imRightClickUp
    Icons = ImageList
    IconIndex = 0
  end
end
