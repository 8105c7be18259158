object fmPrivacyConfirm: TfmPrivacyConfirm
  Left = 300
  Top = 250
  BorderStyle = bsNone
  ClientHeight = 130
  ClientWidth = 390
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Position = poOwnerFormCenter
  object ilButton: TImageList
    Width = 93
    Height = 19
    Bitmap = 'PrivacyConfirmForm_ilButton.bmp'
  end
  object Panel1: TPanel
    Left = 0
    Top = 0
    Width = 390
    Height = 130
    Align = alClient
    BevelInner = bvLowered
    BevelWidth = 2
    Color = 15526604
    object Panel2: TPanel
      Left = 4
      Top = 76
      Width = 382
      Height = 50
      Align = alBottom
      BevelOuter = bvNone
      Color = 15526604
      OnMouseDown = Panel2MouseDown
      object bbtYes2: TPSpeedButton
        Left = 68
        Top = 15
        Width = 93
        Height = 19
        Default = True
        Flat = True
        Images = ilButton
        ImageIndexIDLE = 0
        ImageIndexUp = 1
        ImageIndexDown = 2
        OnClick = bbtYes2Click
      end
      object bbtNo2: TPSpeedButton
        Left = 220
        Top = 15
        Width = 93
        Height = 19
        Cancel = True
        Flat = True
        Images = ilButton
        ImageIndexIDLE = 3
        ImageIndexUp = 4
        ImageIndexDown = 5
        OnClick = bbtNo2Click
      end
    end
    object Panel3: TPanel
      Left = 4
      Top = 4
      Width = 37
      Height = 72
      Align = alLeft
      BevelOuter = bvNone
      Color = 15526604
      OnMouseDown = Panel3MouseDown
    end
    object Panel4: TPanel
      Left = 41
      Top = 4
      Width = 345
      Height = 72
      Align = alClient
      BevelOuter = bvNone
      Color = 15526604
      object lMessageTop: TLabel
        Left = 0
        Top = 0
        Width = 345
        Height = 16
        Align = alTop
        AutoSize = False
        Font.Height = -13
        Font.Name = 'MS Sans Serif'
        Font.Style = [fsBold]
        ParentFont = False
        OnMouseDown = lMessageTopMouseDown
      end
      object lMessage: TLabel
        Left = 0
        Top = 16
        Width = 345
        Height = 56
        Align = alClient
        AutoSize = False
        Font.Height = -13
        Font.Name = 'MS Sans Serif'
        ParentFont = False
        OnMouseDown = lMessageMouseDown
      end
    end
  end
end
