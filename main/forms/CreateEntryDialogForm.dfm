object fmStartupCreateDialog: TfmStartupCreateDialog
  Left = 300
  Top = 250
  BorderStyle = bsNone
  Caption = 'Create new entry'
  ClientHeight = 156
  ClientWidth = 386
  Color = 15526604
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Position = poOwnerFormCenter
  OnCreate = FormCreate
  OnDestroy = FormDestroy
  object ImageList1: TImageList
    Width = 93
    Height = 19
    Bitmap = 'CreateEntryDialogForm_ImageList1.bmp'
  end
  object odStartupCreateNew: TOpenDialog
    Filter = 'Executable files (*.exe;*lnk)|*.exe|Link files (*.lnk)|*.lnk|All files (*.*)|*.*'
    Options = [ofHideReadOnly, ofFileMustExist, ofEnableSizing]
  end
  object Panel1: TPanel
    Left = 0
    Top = 0
    Width = 386
    Height = 156
    Align = alClient
    BevelInner = bvLowered
    Color = 15526604
    OnMouseDown = Panel1MouseDown
    object Image1: TImage
      Left = 8
      Top = 24
      Width = 277
      Height = 33
      Picture = 'CreateEntryDialogForm_Image1.bmp'
    end
    object Image2: TImage
      Left = 8
      Top = 64
      Width = 277
      Height = 33
      Picture = 'CreateEntryDialogForm_Image2.bmp'
    end
    object edFileName: TEdit
      Left = 111
      Top = 32
      Width = 161
      Height = 19
      BorderStyle = bsNone
      Font.Height = -13
      Font.Name = 'MS Sans Serif'
      ParentFont = False
      ParentShowHint = False
      ShowHint = True
      TabOrder = 0
    end
    object edDisplayName: TEdit
      Left = 111
      Top = 72
      Width = 161
      Height = 19
      BorderStyle = bsNone
      Font.Height = -13
      Font.Name = 'MS Sans Serif'
      ParentFont = False
      ParentShowHint = False
      ShowHint = True
      TabOrder = 1
    end
    object bbtBrowse: TPSpeedButton
      Left = 287
      Top = 29
      Width = 93
      Height = 19
      Flat = True
      Images = ImageList1
      ImageIndexIDLE = 0
      ImageIndexUp = 1
      ImageIndexDown = 2
      ParentShowHint = False
      ShowHint = True
      OnClick = bbtBrowseClick
    end
    object bbtCreate: TPSpeedButton
      Left = 58
      Top = 122
      Width = 93
      Height = 19
      Flat = True
      Images = ImageList1
      ImageIndexIDLE = 3
      ImageIndexUp = 4
      ImageIndexDown = 5
      ParentShowHint = False
      ShowHint = True
      OnClick = bbtCreateClick
    end
    object bbtCancel: TPSpeedButton
      Left = 239
      Top = 121
      Width = 93
      Height = 19
      Cancel = True
      Flat = True
      Images = ImageList1
      ImageIndexIDLE = 6
      ImageIndexUp = 7
      ImageIndexDown = 8
      ParentShowHint = False
      ShowHint = True
      OnClick = bbtCancelClick
    end
  end
end
