object ModalForm: TModalForm
  BorderStyle = bsNone
  Caption = 'Question'
  ClientHeight = 40
  ClientWidth = 120
  Color = clWhite
  Position = poOwnerFormCenter
  object Panel1: TPanel
    Left = 0
    Top = 0
    Width = 120
    Height = 40
    Align = alClient
    BevelInner = bvLowered
    BevelWidth = 2
    Color = clBlack
    object bbtYes: TPSpeedButton
      Left = 8
      Top = 10
      Width = 24
      Height = 16
      Default = True
      Flat = True
      OnClick = bbtYesClick
    end
    object bbtNo: TPSpeedButton
      Left = 40
      Top = 10
      Width = 24
      Height = 16
      Cancel = True
      Flat = True
      OnClick = bbtNoClick
    end
    object bbtCancel: TPSpeedButton
      Left = 72
      Top = 10
      Width = 24
      Height = 16
      Cancel = True
      Flat = True
      OnClick = bbtCancelClick
    end
  end
end
