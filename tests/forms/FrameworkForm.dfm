object FrameworkForm: TFrameworkForm
  Left = 40
  Top = 40
  BorderStyle = bsNone
  Caption = 'Framework test'
  ClientHeight = 160
  ClientWidth = 240
  Color = clWhite
  Font.Name = 'Tahoma'
  Font.Height = -11
  OnCreate = FormCreate
  object plTop: TPanel
    Left = 0
    Top = 0
    Width = 100
    Height = 20
    Align = alTop
    BevelOuter = bvNone
    Color = clGreen
  end
  object plBody: TPanel
    Left = 0
    Top = 20
    Width = 100
    Height = 100
    Align = alClient
    BevelOuter = bvNone
    Color = clWhite
    OnMouseDown = BodyMouseDown
    object shA: TTestShape
      Left = 10
      Top = 10
      Width = 40
      Height = 30
      Color = clRed
      OnClick = ShapeClick
      OnDblClick = ShapeDblClick
      OnMouseDown = ShapeMouseDown
      OnMouseMove = ShapeMouseMove
      OnMouseUp = ShapeMouseUp
    end
    object shB: TTestShape
      Left = 30
      Top = 20
      Width = 40
      Height = 30
      Color = clBlue
      OnClick = ShapeClick
      OnMouseDown = ShapeMouseDown
    end
    object shHidden: TTestShape
      Left = 100
      Top = 10
      Width = 30
      Height = 30
      Color = clLime
      Visible = False
      OnMouseDown = ShapeMouseDown
    end
    object shDisabled: TTestShape
      Left = 140
      Top = 10
      Width = 30
      Height = 30
      Color = clYellow
      Enabled = False
      OnMouseDown = ShapeMouseDown
    end
    object lOpaque: TLabel
      Left = 10
      Top = 80
      Width = 60
      Height = 16
      AutoSize = False
      Caption = 'one'#10'two'
      Color = clAqua
    end
    object lClear: TLabel
      Left = 80
      Top = 80
      Width = 60
      Height = 16
      AutoSize = False
      Color = clAqua
      Transparent = True
    end
    object Image1: TImage
      Left = 150
      Top = 80
      Width = 8
      Height = 4
      Picture = 'images/banner.bmp'
    end
    object plNested: TPanel
      Left = 180
      Top = 60
      Width = 50
      Height = 50
      BevelWidth = 2
      Color = clWhite
      object shNested: TTestShape
        Left = 5
        Top = 5
        Width = 10
        Height = 10
        Color = clNavy
      end
    end
    object shLast: TTestShape
      Left = 100
      Top = 100
      Width = 10
      Height = 10
      Color = clPurple
    end
  end
  object ilStrip: TImageList
    Width = 20
    Height = 12
    Bitmap = 'faces.bmp'
  end
end
